#pragma once

#include <QAbstractButton>

// A section button of the info column's button bar: an image only, lit green while on, faded while
// off (less so in an active window). It never takes keyboard focus.
class InfoColumnButtonBarButton : public QAbstractButton
{
    Q_OBJECT
public:
    static constexpr int buttonWidth = 32;
    static constexpr int buttonHeight = 20;
    static const QColor tint;

    // A button for the section type (or the refresh flag), tagged with it.
    InfoColumnButtonBarButton(qint64 type, QWidget *parent = nullptr);

    qint64 tag() const { return tag_; }
    // The opacity the image is drawn with: active window 1.0 on, 0.5 off; inactive 0.5 and 0.25.
    static double opacity(bool windowActive, bool on);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    qint64 tag_;
};
