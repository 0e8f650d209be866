#include "app/SplashWnd.h"

#include "resources/Pictures.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>

namespace zenka {

CSplashWnd::CSplashWnd(QWidget* mainWindow, int milliseconds)
    : QWidget(mainWindow, Qt::SplashScreen | Qt::FramelessWindowHint), mainWindow_(mainWindow),
      picture_(splashPicture()) {
    setObjectName(QStringLiteral("splash"));
    setAttribute(Qt::WA_DeleteOnClose);
    setCursor(Qt::ArrowCursor);
    setFixedSize(picture_.size());
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        move(area.center() - rect().center());
    }
    timer_.setSingleShot(true);
    timer_.setInterval(milliseconds);
    connect(&timer_, &QTimer::timeout, this, &CSplashWnd::hideSplash);
    qApp->installEventFilter(this);
    timer_.start();
}

CSplashWnd::~CSplashWnd() {
    qApp->removeEventFilter(this);
}

void CSplashWnd::hideSplash() {
    if (hiding_) return;
    hiding_ = true;
    timer_.stop();
    qApp->removeEventFilter(this);
    hide();
    if (mainWindow_) mainWindow_->repaint();
    deleteLater();
}

bool CSplashWnd::eventFilter(QObject* watched, QEvent* event) {
    if (hiding_) return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::ShortcutOverride:
        // Accepting the override keeps a key such as Ctrl+N from firing its shortcut; the key
        // press that follows is then taken here.
        event->accept();
        return true;
    case QEvent::KeyPress:
        hideSplash();
        return true;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::NonClientAreaMouseButtonPress: {
        const auto button = static_cast<QMouseEvent*>(event)->button();
        if (button == Qt::LeftButton || button == Qt::RightButton || button == Qt::MiddleButton) {
            hideSplash();
            return true;
        }
        break;
    }
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void CSplashWnd::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.drawImage(0, 0, picture_);
}

} // namespace zenka
