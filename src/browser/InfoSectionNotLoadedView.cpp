#include "browser/InfoSectionNotLoadedView.h"

#include "browser/InfoText.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>

namespace
{
constexpr int Height = 35;
constexpr int Padding = 22;
constexpr qreal Radius = 6;
const QColor TextColor = QColor::fromRgbF(0.4, 0.4, 0.4);
} // namespace

InfoSectionNotLoadedView *InfoSectionNotLoadedView::instance(QWidget *parent)
{
    auto *view = new InfoSectionNotLoadedView(parent);
    view->resize(view->suggestedWidth(), Height);
    return view;
}

InfoSectionNotLoadedView::InfoSectionNotLoadedView(QWidget *parent)
    : QWidget(parent), title_(infoText("Please wait")), message_(infoText("The information is loading."))
{
    setObjectName(QStringLiteral("InfoSectionNotLoadedView"));
    setAttribute(Qt::WA_TranslucentBackground);
    resize(200, Height);
}

QFont InfoSectionNotLoadedView::titleFont() const
{
    QFont bold = font();
    bold.setBold(true);
    return bold;
}

int InfoSectionNotLoadedView::suggestedWidth() const
{
    return std::max(QFontMetrics(titleFont()).horizontalAdvance(title_),
                    QFontMetrics(font()).horizontalAdvance(message_)) +
           Padding;
}

void InfoSectionNotLoadedView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath shape;
    shape.addRoundedRect(QRectF(rect()).translated(Radius, Radius), Radius, Radius);
    painter.fillPath(shape, QColor::fromRgbF(1, 1, 1, 0.9));
    painter.setPen(QColor::fromRgbF(0, 0, 0, 0.2));
    painter.drawPath(shape);
    painter.setPen(TextColor);
    painter.setFont(titleFont());
    const int line = QFontMetrics(font()).height();
    painter.drawText(QPoint(14, Radius + line - 2), title_);
    painter.setFont(font());
    painter.drawText(QPoint(14, Radius + 2 * line - 2), message_);
}
