#include "editor/SQLEditorRulerView.h"

#include "editor/SQLEditorFont.h"
#include "editor/SQLEditorTextStorage.h"
#include "editor/SQLTextView.h"
#include "platform/NotificationCenter.h"
#include "platform/Preferences.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPainter>

#include <cmath>

namespace
{
QColor grey(float white)
{
    return QColor::fromRgbF(white, white, white, 1.0f);
}
} // namespace

SQLEditorRulerView::SQLEditorRulerView(SQLTextView *scrollView) : clientView_(scrollView)
{
    preferenceObserver_ = NotificationCenter::defaultCenter().addObserver(
        Preferences::sqlPreferenceUpdateNotification, nullptr,
        [this](const Notification &) { sqlEditorDefaultsUpdated(); });
    sqlEditorDefaultsUpdated();
}

SQLEditorRulerView::~SQLEditorRulerView()
{
    NotificationCenter::defaultCenter().removeObserver(preferenceObserver_);
}

void SQLEditorRulerView::setClientView(SQLTextView *view)
{
    clientView_ = view;
    QMetaObject::invokeMethod(this, &SQLEditorRulerView::sourceUpdated, Qt::QueuedConnection);
}

qint64 SQLEditorRulerView::lineCount() const
{
    const SQLEditorTextStorage *storage = clientView_ ? clientView_->textStorage() : nullptr;
    return storage ? storage->lineCount() : 0;
}

double SQLEditorRulerView::requiredThickness()
{
    if (!clientView_ || !clientView_->textStorage())
        return minimumThickness;
    const qint64 lines = lineCount();
    if (lines == requiredThicknessLineCount_)
        return requiredThicknessThickness_;
    const int digits = lines > 0 ? int(std::log10(double(lines))) + 1 : 1;
    const qreal width = QFontMetricsF(font_).horizontalAdvance(QString(digits, u'8'));
    requiredThicknessThickness_ = float(std::ceil(std::max(width + 10.0, minimumThickness)));
    requiredThicknessLineCount_ = lines;
    return requiredThicknessThickness_;
}

void SQLEditorRulerView::sourceUpdated()
{
    const int thickness = int(requiredThickness());
    if (thickness != ruleThickness_)
        setRuleThickness(thickness);
    if (lineCount() != lc_) {
        lc_ = lineCount();
        update();
    }
}

void SQLEditorRulerView::setRuleThickness(int thickness)
{
    ruleThickness_ = thickness;
    if (clientView_ && clientView_->verticalRuler() == this)
        clientView_->setRulerThickness(thickness);
}

void SQLEditorRulerView::sqlEditorDefaultsUpdated()
{
    font_ = labelFont();
    textColor_ = textColor();
    requiredThicknessLineCount_ = -1;
    update();
}

QFont SQLEditorRulerView::labelFont() const
{
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSize(std::max(SQLEditorFont::fontSize() - 1, 1));
    font.setWeight(QFont::Light);
    return font;
}

QColor SQLEditorRulerView::textColor() const
{
    return grey(drawsActive() ? 0.42f : 0.62f);
}

bool SQLEditorRulerView::drawsActive() const
{
    return isActiveWindow();
}

void SQLEditorRulerView::windowKeyChanged()
{
    update();
}

void SQLEditorRulerView::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    painter.setClipRect(event->rect());
    const bool active = drawsActive();
    painter.fillRect(event->rect(), grey(active ? 0.9f : 0.95f));
    painter.setPen(active ? QColor(Qt::lightGray) : QColor::fromRgbF(0, 0, 0, 0.1f));
    const qreal x = width() - 0.5;
    painter.drawLine(QPointF(x, 0), QPointF(x, height()));
    if (!clientView_ || !clientView_->textStorage())
        return;
    painter.setFont(font_);
    painter.setPen(textColor_);
    // The ruler's rows are the viewport's: both begin at the top of the view's contents.
    const QRect band(0, event->rect().top(), 1, event->rect().height());
    for (const SQLTextView::VisibleBlock &visible : clientView_->visibleBlocks(band)) {
        const QTextLine first = visible.block.layout()->lineAt(0);
        const qreal lineHeight = first.isValid() ? first.height() : visible.rect.height();
        const qreal top = visible.rect.top() + (first.isValid() ? first.y() : 0);
        painter.drawText(QRectF(5.0, top, width() - 10.0, lineHeight), Qt::AlignRight | Qt::AlignVCenter,
                         QString::number(visible.block.blockNumber() + 1));
    }
}
