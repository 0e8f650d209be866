#include "resources/Pictures.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include <array>

namespace zenka {

namespace {

// The buttons are drawn on a grid of 16 by 15 units with their straight edges on whole units
// and their outlines along the middle of a unit: crisp at the button's own size and at every
// whole multiple of it, so a high-density screen gets a picture drawn for it, not one enlarged.

const QColor kInk(0, 0, 0);
const QColor kNavy(0, 0, 128);

// Letters five units high at most, one row of characters to a unit, '#' filled.
void fillRows(QPainter& p, double left, double top, std::initializer_list<const char*> rows) {
    double y = top;
    for (const char* row : rows) {
        for (int x = 0; row[x] != '\0'; ++x)
            if (row[x] == '#') p.drawRect(QRectF(left + x, y, 1, 1));
        y += 1;
    }
}

void drawNewSheet(QPainter& p) {
    QPainterPath sheet;
    sheet.moveTo(2.5, 0.5);
    sheet.lineTo(9.5, 0.5);
    sheet.lineTo(13.5, 4.5);
    sheet.lineTo(13.5, 14.5);
    sheet.lineTo(2.5, 14.5);
    sheet.closeSubpath();
    p.setPen(QPen(kInk, 1));
    p.setBrush(Qt::white);
    p.drawPath(sheet);
    // The folded corner.
    p.setBrush(QColor(192, 192, 192));
    p.drawPolygon(QPolygonF({QPointF(9.5, 0.5), QPointF(9.5, 4.5), QPointF(13.5, 4.5)}));
    p.setPen(QPen(QColor(128, 128, 128), 1));
    for (double y : {7.5, 9.5, 11.5}) p.drawLine(QPointF(4.5, y), QPointF(y < 11 ? 11.5 : 9.5, y));
}

void drawOpenFolder(QPainter& p) {
    const QColor edge(96, 64, 0);
    p.setPen(QPen(edge, 1));
    // The back with its tab, then the front swung open towards the viewer.
    p.setBrush(QColor(214, 168, 40));
    p.drawPolygon(QPolygonF({QPointF(0.5, 2.5), QPointF(5.5, 2.5), QPointF(6.5, 3.5),
                             QPointF(12.5, 3.5), QPointF(12.5, 13.5), QPointF(0.5, 13.5)}));
    p.setBrush(QColor(255, 220, 80));
    p.drawPolygon(QPolygonF(
        {QPointF(0.5, 13.5), QPointF(3.5, 6.5), QPointF(15.5, 6.5), QPointF(12.5, 13.5)}));
}

void drawDiskette(QPainter& p) {
    p.setPen(QPen(kInk, 1));
    p.setBrush(kNavy);
    p.drawPolygon(QPolygonF({QPointF(1.5, 0.5), QPointF(12.5, 0.5), QPointF(14.5, 2.5),
                             QPointF(14.5, 14.5), QPointF(1.5, 14.5)}));
    p.setPen(Qt::NoPen);
    // The metal shutter with its window, and the label.
    p.setBrush(QColor(192, 192, 192));
    p.drawRect(QRectF(4, 1, 8, 5));
    p.setBrush(kNavy);
    p.drawRect(QRectF(9, 2, 2, 3));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(4, 8, 8, 6));
    p.setBrush(QColor(128, 128, 128));
    p.drawRect(QRectF(5, 10, 6, 1));
    p.drawRect(QRectF(5, 12, 6, 1));
}

void drawGraph(QPainter& p) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 192));
    p.drawRect(QRectF(4, 9, 2, 4));
    p.drawRect(QRectF(8, 6, 2, 7));
    p.drawRect(QRectF(12, 8, 2, 5));
    p.setPen(QPen(kInk, 1));
    p.drawLine(QPointF(1.5, 0.5), QPointF(1.5, 13.5));
    p.drawLine(QPointF(1.5, 13.5), QPointF(15.5, 13.5));
    p.setPen(QPen(QColor(208, 0, 0), 1.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(
        QPolygonF({QPointF(2.5, 9.5), QPointF(6.5, 4.5), QPointF(10.5, 6.5), QPointF(14.5, 1.5)}));
}

void drawRun(QPainter& p) {
    // White letters on a dark red plate: the word reads at the button's own size.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(176, 0, 0));
    p.drawRoundedRect(QRectF(0, 2, 16, 11), 2, 2);
    p.setBrush(Qt::white);
    fillRows(p, 1, 4, {"###", "#..#", "#..#", "###", "#.#", "#..#", "#..#"});
    fillRows(p, 6, 4, {"#..#", "#..#", "#..#", "#..#", "#..#", "#..#", ".##"});
    fillRows(p, 11, 4, {"#..#", "##.#", "##.#", "#.##", "#.##", "#..#", "#..#"});
}

void drawQuestion(QPainter& p) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 160));
    p.drawEllipse(QRectF(1.5, 0.5, 14, 14));
    p.setBrush(Qt::white);
    fillRows(p, 6, 3, {".###", "##.##", "...##", "..##", ".##", ".##", "", ".##", ".##"});
}

// The sixteen colours of the classic display palette.
QList<QRgb> sixteenColours() {
    return {qRgb(0, 0, 0),       qRgb(128, 0, 0),   qRgb(0, 128, 0),   qRgb(128, 128, 0),
            qRgb(0, 0, 128),     qRgb(128, 0, 128), qRgb(0, 128, 128), qRgb(192, 192, 192),
            qRgb(128, 128, 128), qRgb(255, 0, 0),   qRgb(0, 255, 0),   qRgb(255, 255, 0),
            qRgb(0, 0, 255),     qRgb(255, 0, 255), qRgb(0, 255, 255), qRgb(255, 255, 255)};
}

// A pile driven through soil layers, with blow counts ticked along the boring beside it.
void drawPileScene(QPainter& p, const QRectF& area) {
    const double top = area.top();
    const double h = area.height();
    const QColor layers[] = {QColor(128, 128, 0), QColor(192, 192, 192), QColor(128, 128, 128),
                             QColor(128, 0, 0)};
    const double bounds[] = {0.0, 0.25, 0.55, 0.8, 1.0};
    for (int i = 0; i < 4; ++i) {
        p.fillRect(
            QRectF(area.left(), top + bounds[i] * h, area.width(), (bounds[i + 1] - bounds[i]) * h),
            layers[i]);
    }
    p.setPen(QPen(QColor(0, 0, 0), 1));
    for (int i = 1; i < 4; ++i)
        p.drawLine(QPointF(area.left(), top + bounds[i] * h),
                   QPointF(area.right(), top + bounds[i] * h));
    // The pile, tip in the third layer.
    const double pileX = area.left() + area.width() * 0.3;
    const QRectF pile(pileX, top - 40, 18, h * 0.7 + 40);
    p.fillRect(pile, QColor(255, 255, 255));
    p.drawRect(pile);
    // The hammer above it.
    p.fillRect(QRectF(pileX - 6, top - 64, 30, 22), QColor(0, 0, 128));
    // The boring with its sample marks.
    const double boreX = area.left() + area.width() * 0.72;
    p.setPen(QPen(QColor(0, 0, 0), 3));
    p.drawLine(QPointF(boreX, top), QPointF(boreX, area.bottom() - 4));
    p.setPen(QPen(QColor(255, 255, 255), 2));
    for (int i = 1; i < 9; ++i) {
        const double y = top + i * h / 9.0;
        const double n = 8 + (i * 37 % 23);
        p.drawLine(QPointF(boreX, y), QPointF(boreX + n, y));
    }
}

} // namespace

QImage splashPicture() {
    QImage image(kSplashWidth, kSplashHeight, QImage::Format_RGB32);
    image.fill(QColor(0, 0, 128));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, false);

    // Sky band and ground band on the right, title on the left.
    p.fillRect(QRect(330, 0, 190, kSplashHeight), QColor(0, 128, 128));
    drawPileScene(p, QRectF(330, 130, 190, kSplashHeight - 130));
    p.setPen(QPen(QColor(255, 255, 0), 3));
    p.drawLine(20, 150, 310, 150);

    p.setRenderHint(QPainter::TextAntialiasing, true);
    QFont title(QStringLiteral("DejaVu Serif"));
    title.setPixelSize(70);
    title.setBold(true);
    title.setLetterSpacing(QFont::AbsoluteSpacing, 2);
    p.setFont(title);
    p.setPen(QColor(0, 0, 0));
    p.drawText(QRect(22, 34, 306, 110), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("ZENKA"));
    p.setPen(QColor(255, 255, 255));
    p.drawText(QRect(18, 30, 306, 110), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("ZENKA"));

    QFont line(QStringLiteral("DejaVu Sans"));
    line.setPixelSize(19);
    p.setFont(line);
    p.setPen(QColor(255, 255, 0));
    p.drawText(QRect(22, 162, 300, 28), Qt::AlignLeft, QStringLiteral("Static Axial Capacity"));
    p.drawText(QRect(22, 188, 300, 28), Qt::AlignLeft, QStringLiteral("of Driven Piles"));
    line.setPixelSize(14);
    p.setFont(line);
    p.setPen(QColor(255, 255, 255));
    p.drawText(QRect(22, 232, 300, 20), Qt::AlignLeft, QStringLiteral("from SPT boring logs"));
    p.setPen(QColor(192, 192, 192));
    p.drawText(QRect(22, 280, 300, 20), Qt::AlignLeft, QStringLiteral("Version 1.4"));
    p.end();

    return image.convertToFormat(QImage::Format_Indexed8, sixteenColours(),
                                 Qt::ThresholdDither | Qt::AvoidDither);
}

QImage toolbarImage(ToolbarPicture which, double scale) {
    QImage image(qRound(kButtonWidth * scale), qRound(kButtonHeight * scale),
                 QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(image.width() / double(kButtonWidth), image.height() / double(kButtonHeight));
    switch (which) {
    case ToolbarPicture::NewSheet:
        drawNewSheet(p);
        break;
    case ToolbarPicture::OpenFolder:
        drawOpenFolder(p);
        break;
    case ToolbarPicture::Diskette:
        drawDiskette(p);
        break;
    case ToolbarPicture::Graph:
        drawGraph(p);
        break;
    case ToolbarPicture::Run:
        drawRun(p);
        break;
    case ToolbarPicture::Question:
        drawQuestion(p);
        break;
    }
    p.end();
    image.setDevicePixelRatio(scale);
    return image;
}

QIcon toolbarPicture(ToolbarPicture which) {
    QIcon icon;
    for (double scale : kButtonScales)
        icon.addPixmap(QPixmap::fromImage(toolbarImage(which, scale)));
    return icon;
}

QIcon programIcon() {
    QIcon icon;
    for (int size : {16, 32, 48, 64}) {
        QImage image(size, size, QImage::Format_ARGB32);
        image.fill(Qt::transparent);
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing, true);
        const double s = size / 64.0;
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 0, 128));
        QPainterPath frame;
        frame.addRoundedRect(QRectF(2 * s, 2 * s, 60 * s, 60 * s), 8 * s, 8 * s);
        p.drawPath(frame);
        // Ground, inside the frame's rounded corners, and a pile standing in it.
        QPainterPath ground;
        ground.addRect(QRectF(2 * s, 40 * s, 60 * s, 22 * s));
        p.setBrush(QColor(128, 128, 0));
        p.drawPath(frame.intersected(ground));
        p.setBrush(QColor(255, 255, 255));
        p.drawRect(QRectF(40 * s, 18 * s, 10 * s, 38 * s));
        // The letter Z.
        QPainterPath z;
        z.moveTo(8 * s, 10 * s);
        z.lineTo(34 * s, 10 * s);
        z.lineTo(34 * s, 16 * s);
        z.lineTo(17 * s, 34 * s);
        z.lineTo(34 * s, 34 * s);
        z.lineTo(34 * s, 40 * s);
        z.lineTo(8 * s, 40 * s);
        z.lineTo(8 * s, 34 * s);
        z.lineTo(25 * s, 16 * s);
        z.lineTo(8 * s, 16 * s);
        z.closeSubpath();
        p.setBrush(QColor(255, 255, 0));
        p.drawPath(z);
        p.end();
        icon.addPixmap(QPixmap::fromImage(image));
    }
    return icon;
}

} // namespace zenka
