#include "kit/OverlayUtil.h"

#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

TEST(OverlayUtil, BodyLeavesRoomForArrowAndShadow)
{
    struct Case {
        QRectF rect;
        int arrow;
        QRectF body;
    };
    const Case cases[] = {
        {{0, 0, 100, 50}, 0, {2, 2, 94, 44}},
        {{0, 0, 100, 50}, 8, {2, 10, 94, 36}},
        {{0, 0, 100, 80}, 34, {2, 36, 94, 40}},
        {{10, 20, 30, 40}, 0, {12, 22, 24, 34}},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(OverlayUtil::bodyRect(c.rect, c.arrow), c.body);
        const QRectF bounds = OverlayUtil::overlayPath(c.rect, c.arrow).boundingRect();
        if (c.arrow > 0) // the arrow's tip is the rectangle's top-left corner
            EXPECT_EQ(bounds.topLeft(), QPointF(0, 0));
        else
            EXPECT_EQ(bounds, c.body);
    }
}

TEST(OverlayUtil, NegativeVariantIsReddishAndNormalIsGreenish)
{
    auto render = [](bool negative) {
        QImage image(100, 60, QImage::Format_ARGB32);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        OverlayUtil::drawOverlayPathInRect(painter, QRectF(0, 0, 100, 60), negative, 8);
        return image;
    };
    const QColor normal = render(false).pixelColor(50, 50); // near the body's bottom: the gradient start
    const QColor negative = render(true).pixelColor(50, 50);
    EXPECT_GT(normal.green(), normal.red());
    EXPECT_GT(negative.red(), negative.green());
    const QImage arrow = render(false);
    EXPECT_GT(arrow.pixelColor(5, 5).alpha(), 0);  // inside the arrow near its tip
    EXPECT_EQ(arrow.pixelColor(60, 4).alpha(), 0); // above the body, right of the arrow
    EXPECT_EQ(OverlayUtil::overlayFontColor(), QColor::fromRgbF(0.1, 0.2, 0.1));
}
