#include "resources/Pictures.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include <array>

namespace zenka {

namespace {

// Each button as rows of 16 characters; every character is one pixel of the palette below.
using ButtonRows = std::array<const char*, kButtonHeight>;

constexpr ButtonRows kNewSheet = {
    "................", "..#######.......", "..#wwwww##......", "..#wwwww#w#.....",
    "..#wwwww####....", "..#wwwwwwww#....", "..#wwggggww#....", "..#wwwwwwww#....",
    "..#wwggggww#....", "..#wwwwwwww#....", "..#wwggggww#....", "..#wwwwwwww#....",
    "..#wwwwwwww#....", "..##########....", "................",
};

constexpr ButtonRows kOpenFolder = {
    "................", "..........bbb...", ".........b...b.b", "..............bb",
    ".###.........bbb", "#yyy#######.....", "#ywywywywy#.....", "#wyw###########.",
    "#yw#ooooooooooo#", "#w#ooooooooooo#.", "##ooooooooooo#..", "#ooooooooooo#...",
    "#############...", "................", "................",
};

constexpr ButtonRows kDiskette = {
    "................", ".#############..", ".#bb#wwwwww#b#..", ".#bb#wwwwww#bb#.",
    ".#bb#wwwwww#bb#.", ".#bb#wwwwww#bb#.", ".#bbb######bbb#.", ".#bbbbbbbbbbbb#.",
    ".#bb########bb#.", ".#bb#gg#ggg#bb#.", ".#bb#gg#ggg#bb#.", ".#bb#gg#ggg#bb#.",
    "..############..", "................", "................",
};

constexpr ButtonRows kGraph = {
    "................", ".#..............", ".#...........r..", ".#..........r...",
    ".#.....r...r....", ".#....r.r.r.....", ".#...r...r......", ".#..r...........",
    ".#.r.......bb...", ".#r..bb....bb...", ".#...bb.bb.bb...", ".#.bbbb.bb.bb...",
    ".#.bbbb.bb.bb...", ".##############.", "................",
};

constexpr ButtonRows kRun = {
    "................", "................", "................", "................",
    "ggggggggggggggg.", "grrrggrggrgrggrg", "grggrgrggrgrrgrg", "grrrggrggrgrgrrg",
    "grgrggrggrgrggrg", "grggrggrrggrggrg", "ggggggggggggggg.", "................",
    "................", "................", "................",
};

constexpr ButtonRows kQuestion = {
    "................", ".....######.....", "....##bbbb##....", "...##bb..bb##...",
    "...##bb..bb##...", "........bb##....", ".......bb##.....", "......bb##......",
    "......bb##......", "......bb##......", "................", "......bb##......",
    "......bb##......", "................", "................",
};

QColor paletteColour(char c) {
    switch (c) {
    case '#':
        return QColor(0, 0, 0);
    case 'w':
        return QColor(255, 255, 255);
    case 'g':
        return QColor(128, 128, 128);
    case 'b':
        return QColor(0, 0, 128);
    case 'y':
        return QColor(255, 255, 0);
    case 'o':
        return QColor(128, 128, 0);
    case 'r':
        return QColor(192, 0, 0);
    default:
        return QColor(0, 0, 0, 0);
    }
}

QPixmap fromRows(const ButtonRows& rows) {
    QImage image(kButtonWidth, kButtonHeight, QImage::Format_ARGB32);
    for (int y = 0; y < kButtonHeight; ++y) {
        const char* row = rows[static_cast<std::size_t>(y)];
        for (int x = 0; x < kButtonWidth; ++x) image.setPixelColor(x, y, paletteColour(row[x]));
    }
    return QPixmap::fromImage(image);
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

QPixmap toolbarPicture(ToolbarPicture which) {
    switch (which) {
    case ToolbarPicture::NewSheet:
        return fromRows(kNewSheet);
    case ToolbarPicture::OpenFolder:
        return fromRows(kOpenFolder);
    case ToolbarPicture::Diskette:
        return fromRows(kDiskette);
    case ToolbarPicture::Graph:
        return fromRows(kGraph);
    case ToolbarPicture::Run:
        return fromRows(kRun);
    case ToolbarPicture::Question:
        return fromRows(kQuestion);
    }
    return {};
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
        p.drawRoundedRect(QRectF(2 * s, 2 * s, 60 * s, 60 * s), 8 * s, 8 * s);
        // Ground, and a pile standing in it.
        p.setBrush(QColor(128, 128, 0));
        p.drawRect(QRectF(2 * s, 40 * s, 60 * s, 22 * s));
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
