#pragma once

#include "kit/AdvancedWindowKeyAwareView.h"

#include <QLabel>

// A text shown in a rounded badge coloured by a colour label (connection names in headers and the
// query history). Label 0 draws no badge and the text takes the whole bounds.
class LabeledTextField : public QLabel, public AdvancedWindowKeyAwareView
{
    Q_OBJECT
public:
    static constexpr float paddingWidth = 4.0f;
    static constexpr float paddingHeight = 1.0f;

    explicit LabeledTextField(QWidget *parent = nullptr);

    unsigned label() const { return label_; }
    void setLabel(unsigned label);
    void windowKeyChanged(bool newState) override;

    // Layout of the badge for a text of the given size.
    static QRectF titleRectForBounds(const QRectF &bounds, unsigned label);
    static float bezelWidth(float textWidth, float maximum);
    static float bezelHeight(float textHeight, float maximum);
    static QSizeF cellSizeForBounds(const QSizeF &bounds, const QSizeF &textSize);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QSizeF textSize() const;

    unsigned label_ = 0;
};
