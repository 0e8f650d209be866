#pragma once

// The splash picture shown while the program starts. While it is up, the first key or mouse
// button pressed anywhere in the program hides it and goes no further.

#include <QTimer>
#include <QWidget>

namespace zenka {

class CSplashWnd : public QWidget {
    Q_OBJECT
public:
    static constexpr int kShowMilliseconds = 5000;

    // Shown centred on the screen; `mainWindow` is repainted when the picture goes.
    explicit CSplashWnd(QWidget* mainWindow, int milliseconds = kShowMilliseconds);
    ~CSplashWnd() override;

    QTimer& timer() { return timer_; }

public slots:
    // Hides the picture and destroys the window.
    void hideSplash();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QWidget* mainWindow_;
    QImage picture_;
    QTimer timer_;
    bool hiding_ = false;
};

} // namespace zenka
