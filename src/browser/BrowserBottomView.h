#pragma once

#include "kit/AdvancedWindowKeyAwareView.h"

#include <QWidget>

// The bar along the bottom of the browser pane: the palette's bottom-bar gradient under a border
// along its top edge, both in the colours of the window's look.
class BrowserBottomView : public QWidget, public AdvancedWindowKeyAwareView
{
    Q_OBJECT
public:
    explicit BrowserBottomView(QWidget *parent = nullptr);

    QColor borderColor() const;
    void windowKeyChanged(bool newState) override;

protected:
    void paintEvent(QPaintEvent *event) override;
};
