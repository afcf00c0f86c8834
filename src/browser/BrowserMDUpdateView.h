#pragma once

#include <QColor>
#include <QFont>
#include <QPainterPath>
#include <QPointer>
#include <QWidget>

class QGraphicsOpacityEffect;
class QPropertyAnimation;

// The "Connection Info" badge of the browser pane: a tab in the lower-left corner of its area that
// fades in while the document refreshes metadata in the background. It starts invisible and only
// ever fades; it is never removed.
class BrowserMDUpdateView : public QWidget
{
    Q_OBJECT
public:
    static constexpr int badgeHeight = 35;
    static constexpr int shapeOffset = 6;

    // A badge as wide as its text needs, 35 high.
    static BrowserMDUpdateView *instance(QWidget *parent = nullptr);
    explicit BrowserMDUpdateView(const QRect &frame, QWidget *parent = nullptr);

    QString title() const { return title_; }
    QString message() const { return message_; }
    QFont titleFont() const { return titleFont_; }
    QFont messageFont() const { return messageFont_; }
    QColor borderColor() const { return borderColor_; }
    QColor backgroundColor() const { return backgroundColor_; }
    // The outline filled and stroked: the bounds moved 6 to the lower left, so only the top and right
    // edges and the rounded top-right corner show.
    QPainterPath shape() const { return shape_; }
    // The longer text line plus 22.
    int suggestedWidth() const;

    qreal alpha() const;
    // Sets the opacity at once.
    void setAlpha(qreal alpha);
    // Fades to the opacity.
    void fadeTo(qreal alpha);

protected:
    void resizeEvent(QResizeEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void updateShape();

    QString title_;
    QString message_;
    QFont titleFont_;
    QFont messageFont_;
    QColor textColor_;
    QColor borderColor_;
    QColor backgroundColor_;
    QPainterPath shape_;
    QGraphicsOpacityEffect *opacity_ = nullptr;
    QPointer<QPropertyAnimation> fade_;
};
