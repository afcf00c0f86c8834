#pragma once

#include "kit/AdvancedWindowKeyAwareView.h"

#include <QColor>
#include <QWidget>

// The strip above the browser's schema pop-up and search field: an optional fill and a one-pixel
// border along its bottom edge in the palette's sub-border colour of the window's look.
class BrowserHeaderView : public QWidget, public AdvancedWindowKeyAwareView
{
    Q_OBJECT
public:
    explicit BrowserHeaderView(QWidget *parent = nullptr);

    // Invalid: nothing is filled, the parent shows through.
    QColor backgroundColor() const { return backgroundColor_; }
    void setBackgroundColor(const QColor &color);
    QColor borderColor() const;

    void windowKeyChanged(bool newState) override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QColor backgroundColor_;
};
