#pragma once

#include "kit/AdvancedWindowKeyAwareView.h"

#include <QWidget>

// The header strip of the log pane: a translucent white panel edged on its left and bottom with
// the palette's button border, in the active or inactive look of its window.
class LoggerHeaderView : public QWidget, public AdvancedWindowKeyAwareView
{
    Q_OBJECT

public:
    explicit LoggerHeaderView(QWidget *parent = nullptr);
    void windowKeyChanged(bool newState) override;

protected:
    void paintEvent(QPaintEvent *event) override;
};
