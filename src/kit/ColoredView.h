#pragma once

#include <QColor>
#include <QWidget>

// A plain view filled with one colour (the main window's busy cover).
class ColoredView : public QWidget
{
    Q_OBJECT
public:
    explicit ColoredView(QWidget *parent = nullptr);
    // A 10 by 10 view of that colour; the caller parents it.
    static ColoredView *viewWithColor(const QColor &color);

    QColor color() const { return color_; }
    void setColor(const QColor &color);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QColor color_;
};
