#include "kit/LabeledTextField.h"
#include "kit/ColorBox.h"

#include <QImage>
#include <gtest/gtest.h>

TEST(LabeledTextField, BadgeGeometry)
{
    EXPECT_EQ(LabeledTextField::titleRectForBounds(QRectF(0, 0, 100, 20), 0), QRectF(0, 0, 100, 20));
    EXPECT_EQ(LabeledTextField::titleRectForBounds(QRectF(0, 0, 100, 20), 3), QRectF(4, 1, 92, 18));
    EXPECT_FLOAT_EQ(LabeledTextField::bezelWidth(50, 100), 58);
    EXPECT_FLOAT_EQ(LabeledTextField::bezelWidth(98, 100), 100);
    EXPECT_FLOAT_EQ(LabeledTextField::bezelHeight(14, 30), 16);
    EXPECT_FLOAT_EQ(LabeledTextField::bezelHeight(14, 15), 15);
    EXPECT_EQ(LabeledTextField::cellSizeForBounds(QSizeF(40, 20), QSizeF(50, 14)), QSizeF(40, 16));
    EXPECT_EQ(LabeledTextField::cellSizeForBounds(QSizeF(400, 20), QSizeF(50, 14)), QSizeF(58, 16));
}

TEST(LabeledTextField, BadgeIsDrawnOnlyWithALabel)
{
    LabeledTextField field;
    field.setText("production");
    field.resize(field.sizeHint() + QSize(40, 4));
    const QImage plain = field.grab().toImage();
    // The badge's fill sits at its left edge, where no glyph is drawn.
    const QColor unlabelled = plain.pixelColor(2, plain.height() / 2);
    field.setLabel(5);
    EXPECT_EQ(field.label(), 5u);
    const QImage labelled = field.grab().toImage();
    const QColor badge = labelled.pixelColor(2, labelled.height() / 2);
    EXPECT_NE(badge, unlabelled);
    EXPECT_GT(badge.blue(), badge.red()); // the blue label's tint (inactive: translucent over the background)
    // Beyond the badge's width the field draws nothing of it.
    EXPECT_EQ(labelled.pixelColor(labelled.width() - 2, labelled.height() / 2),
              plain.pixelColor(plain.width() - 2, plain.height() / 2));
}
