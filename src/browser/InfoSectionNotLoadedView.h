#pragma once

#include <QWidget>

// The small rounded tab ("Please wait" / "The information is loading.") that the info column pins to
// the bottom-right corner of its first screen while the section on show is still loading. Only its
// top-left corner is rounded: the shape runs on past the right and bottom edges.
class InfoSectionNotLoadedView : public QWidget
{
    Q_OBJECT
public:
    // A new notice sized to its text: the longer line plus 22 wide, 35 high.
    static InfoSectionNotLoadedView *instance(QWidget *parent = nullptr);
    explicit InfoSectionNotLoadedView(QWidget *parent = nullptr);

    QString title() const { return title_; }
    QString message() const { return message_; }
    int suggestedWidth() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QFont titleFont() const;
    QString title_;
    QString message_;
};
