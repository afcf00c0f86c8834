#include "kit/ColorBox.h"

#include <gtest/gtest.h>

namespace
{

void expectColor(const QColor &actual, double red, double green, double blue, double alpha)
{
    EXPECT_NEAR(actual.redF(), red, 0.001);
    EXPECT_NEAR(actual.greenF(), green, 0.001);
    EXPECT_NEAR(actual.blueF(), blue, 0.001);
    EXPECT_NEAR(actual.alphaF(), alpha, 0.001);
}

} // namespace

TEST(ColorBox, LabelTintsAndTranslucencyPerSet)
{
    struct Case {
        unsigned label;
        double base[3];
        double inner[3];
    };
    const Case cases[] = {
        {1, {1, 0, 0}, {1, 0.6667, 0.6667}},
        {2, {1, 0.5, 0}, {1, 0.8333, 0.6667}},
        {3, {0.6, 0.55, 0}, {0.8667, 0.85, 0.6667}},
        {4, {0, 0.5, 0}, {0.6667, 0.8333, 0.6667}},
        {5, {0, 0, 1}, {0.6667, 0.6667, 1}},
        {6, {1, 0, 1}, {1, 0.6667, 1}},
        {7, {0.25, 0.25, 0.25}, {0.75, 0.75, 0.75}},
        {8, {0.5, 0.5, 0.5}, {0.8333, 0.8333, 0.8333}},
        {9, {0.8, 0.8, 0.8}, {0.9333, 0.9333, 0.9333}},
    };
    ColorBox &box = ColorBox::colors();
    for (const Case &c : cases) {
        SCOPED_TRACE(c.label);
        expectColor(Colors::baseColorForTabLabel(c.label), c.base[0], c.base[1], c.base[2], 1);
        expectColor(box.active().outerColorForTabLabel(c.label), c.base[0], c.base[1], c.base[2], 1);
        expectColor(box.active().innerColorForTabLabel(c.label), c.inner[0], c.inner[1], c.inner[2], 1);
        expectColor(box.inactive().outerColorForTabLabel(c.label), c.base[0], c.base[1], c.base[2], 0.25);
        expectColor(box.inactive().innerColorForTabLabel(c.label), c.inner[0], c.inner[1], c.inner[2], 0.25);
    }
    for (unsigned none : {0u, 10u}) {
        EXPECT_FALSE(Colors::baseColorForTabLabel(none).isValid());
        EXPECT_FALSE(box.active().outerColorForTabLabel(none).isValid());
        EXPECT_FALSE(box.inactive().innerColorForTabLabel(none).isValid());
    }
    EXPECT_EQ(Colors::nameKeyForTabLabel(0), "None");
    EXPECT_EQ(Colors::nameKeyForTabLabel(8), "Gray");
}

TEST(ColorBox, EveryUserGetsTheFlatDesign)
{
    ColorBox &box = ColorBox::colors();
    EXPECT_TRUE(box.isYosemiteOrLater());
    EXPECT_TRUE(box.active().isActive());
    EXPECT_FALSE(box.inactive().isActive());
    expectColor(box.active().tabColor, 0.68823, 0.67761, 0.68823, 1);
    expectColor(box.inactive().tabColor, 237 / 255.0, 237 / 255.0, 237 / 255.0, 1);
    expectColor(box.active().activeTabColor, 0.7647, 0.7529, 0.7647, 1);
    expectColor(box.active().tabBorder, 157 / 255.0, 157 / 255.0, 157 / 255.0, 1);
    expectColor(box.inactive().paneSubBorder, 0.85, 0.85, 0.85, 1);
    expectColor(box.active().tabTextColor, 0.3, 0.3, 0.3, 1);
    expectColor(box.inactive().bottomBarGradient.first().second, 0.95, 0.95, 0.95, 1);
    // Kept from the first design.
    expectColor(box.active().panelHeaderGradient.first().second, 239 / 255.0, 241 / 255.0, 242 / 255.0, 0);
    expectColor(box.active().panelHeaderGradient.last().second, 165 / 255.0, 180 / 255.0, 171 / 255.0, 0.85);
    EXPECT_FLOAT_EQ(box.inactive().tabBarAlpha, 0.1f);
}

TEST(ColorBox, TabBarColourIsTheTabColourItself)
{
    Colors set(true);
    set.tabColor = Qt::red;
    EXPECT_EQ(set.tabBarColor(), QColor(Qt::red));
    set.tabBarColor() = Qt::blue;
    EXPECT_EQ(set.tabColor, QColor(Qt::blue));
}

TEST(ColorBox, CloseAndAddImagesAreDrawnInTheFirstDesignsTextColour)
{
    ColorBox &box = ColorBox::colors();
    const QImage close = box.active().tabCloseImage.toImage();
    ASSERT_EQ(close.size(), QSize(12, 13));
    // The cross goes through the middle; the corners stay clear.
    EXPECT_GT(qAlpha(close.pixel(6, 7)), 0);
    EXPECT_EQ(qAlpha(close.pixel(0, 0)), 0);
    EXPECT_NEAR(QColor(close.pixel(6, 7)).redF(), 0.2, 0.02);
    EXPECT_NEAR(QColor(box.inactive().tabAddImage.toImage().pixel(6, 3)).redF(), 0.5, 0.02);
}
