#include "resources/Pictures.h"

#include <QIcon>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <gtest/gtest.h>

namespace zenka::test {
namespace {

QImage svgIcon(int size) {
    QSvgRenderer svg(QStringLiteral(ZENKA_SOURCE_DIR "/resources/zenka.svg"));
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    svg.render(&p);
    return image;
}

// The rounded frame stays rounded at every corner: the ground must not paint over the bottom
// ones. The installed icon and the one the windows show are the same picture.
TEST(ProgramIcon, EveryCornerOfTheFrameIsRounded) {
    struct Probe {
        int x, y;
        bool opaque;
        QColor colour; // where opaque
    };
    const Probe probes[] = {
        {2, 2, false, {}},
        {61, 2, false, {}},
        {2, 61, false, {}},
        {61, 61, false, {}},
        {3, 60, false, {}},
        {60, 60, false, {}},                 // just inside the corners' bounding square
        {32, 58, true, QColor(128, 128, 0)}, // the ground
        {20, 50, true, QColor(128, 128, 0)},
        {56, 8, true, QColor(0, 0, 128)}, // the sky
    };
    const QImage drawn =
        programIcon().pixmap(64, 64).toImage().convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(drawn.size(), QSize(64, 64));
    for (const QImage& image : {drawn, svgIcon(64)}) {
        for (const Probe& p : probes) {
            SCOPED_TRACE(testing::Message() << p.x << "," << p.y);
            const QColor c = image.pixelColor(p.x, p.y);
            if (!p.opaque) {
                EXPECT_LT(c.alpha(), 40);
            } else {
                EXPECT_EQ(c.alpha(), 255);
                EXPECT_EQ(c.rgb(), p.colour.rgb());
            }
        }
    }
}

} // namespace
} // namespace zenka::test
