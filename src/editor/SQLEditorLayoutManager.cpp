#include "editor/SQLEditorLayoutManager.h"
#include "platform/Preferences.h"

#include "editor/SQLEditorTextStorage.h"
#include "editor/SQLTextView.h"
#include "platform/UserDefaults.h"

#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QTextBlock>
#include <QTextLayout>

#include <cmath>

namespace
{
constexpr qreal maximumParameterBoxWidth = 300.0;
// Lines of empty lines are cut this far before the view's right edge.
constexpr qreal queryBreakLineInset = 10.0;

QPen dashedPen(const QColor &color)
{
    QPen pen(color, 1.0);
    pen.setCosmetic(true); // the fast path of the raster engine for thin dashed lines
    pen.setDashPattern({2.0, 2.0});
    pen.setDashOffset(1.0);
    return pen;
}

// Two points on, two off.
QBrush horizontalDashes(const QColor &color)
{
    QImage pattern(4, 1, QImage::Format_ARGB32_Premultiplied);
    pattern.fill(Qt::transparent);
    pattern.setPixelColor(0, 0, color);
    pattern.setPixelColor(1, 0, color);
    return QBrush(pattern);
}

// The rectangle of [from, to) of a block's text, in viewport coordinates; lines never wrap.
QRectF textRect(const QTextBlock &block, const QRectF &blockRect, int from, int to)
{
    const QTextLine line = block.layout()->lineForTextPosition(from);
    if (!line.isValid())
        return {};
    const qreal x1 = line.cursorToX(from);
    const qreal x2 = line.cursorToX(to);
    return QRectF(blockRect.left() + x1, blockRect.top() + line.y(), x2 - x1, line.height());
}
} // namespace

void SQLEditorLayoutManager::drawBackground(const SQLTextView &view, const QRect &exposed,
                                            const Blocks &visibleBlocks) const
{
    // Only the lines that meet the exposed part: typing repaints one line.
    Blocks blocks;
    for (const SQLTextView::VisibleBlock &visible : visibleBlocks) {
        if (visible.rect.bottom() >= exposed.top() - 1 && visible.rect.top() <= exposed.bottom() + 1)
            blocks.push_back(visible);
    }
    const SQLEditorTextStorage *storage = view.textStorage();
    std::vector<QRectF> active;
    if (storage && storage->lastMarkedActiveRange().length > 0) {
        for (const QRectF &rect : activeRangeRects(view, blocks)) {
            if (rect.intersects(exposed))
                active.push_back(rect);
        }
    }
    std::vector<QRectF> boxes;
    for (const QRectF &box : parameterBoxes(blocks)) {
        if (box.intersects(exposed))
            boxes.push_back(box);
    }
    std::vector<QLineF> lines;
    for (const QLineF &line : queryBreakLines(view, blocks)) {
        if (line.y1() >= exposed.top() - 1 && line.y1() <= exposed.bottom() + 1)
            lines.push_back(line);
    }
    if (active.empty() && boxes.empty() && lines.empty())
        return;

    QPainter painter(view.viewport());
    for (const QRectF &rect : active)
        painter.fillRect(rect, storage->activeHintColor());
    QColor parameter(UserDefaults::standard().stringForKey(PreferenceKey::syntaxParameterColor));
    for (const QRectF &box : boxes) {
        parameter.setAlphaF(0.125f);
        painter.fillRect(box, parameter);
        parameter.setAlphaF(0.5f);
        painter.setPen(dashedPen(parameter));
        painter.drawRect(box);
    }
    // The separator lines are horizontal and span the view: a dash pattern filled is far cheaper than a
    // dashed pen stroked.
    const QBrush dashes = horizontalDashes(QColor::fromRgbF(0.5f, 0.5f, 0.5f, 0.5f));
    for (const QLineF &line : lines) {
        painter.setBrushOrigin(QPointF(line.x1() - 1.0, 0)); // phase 1
        painter.fillRect(QRectF(line.x1(), line.y1() - 0.5, line.length(), 1.0), dashes);
    }
}

std::vector<QRectF> SQLEditorLayoutManager::activeRangeRects(const SQLTextView &view,
                                                             const Blocks &blocks) const
{
    std::vector<QRectF> rects;
    const SQLEditorTextStorage *storage = view.textStorage();
    if (!storage)
        return rects;
    const TextRange mark = storage->lastMarkedActiveRange();
    for (const SQLTextView::VisibleBlock &visible : blocks) {
        const qint64 blockStart = visible.block.position();
        const qint64 blockEnd = blockStart + visible.block.length() - 1;
        if (mark.end() <= blockStart || mark.location > blockEnd)
            continue;
        const int from = int(std::max(mark.location, blockStart) - blockStart);
        const int to = int(std::min(mark.end(), blockEnd) - blockStart);
        QRectF rect = textRect(visible.block, visible.rect, from, to);
        if (mark.end() > blockEnd) // the line feed is marked too
            rect.setWidth(rect.width() +
                          QFontMetricsF(visible.block.document()->defaultFont()).averageCharWidth());
        rects.push_back(rect);
    }
    return rects;
}

std::vector<QRectF> SQLEditorLayoutManager::parameterBoxes(const Blocks &blocks) const
{
    std::vector<QRectF> boxes;
    for (const SQLTextView::VisibleBlock &visible : blocks) {
        for (const QTextLayout::FormatRange &range : visible.block.layout()->formats()) {
            if (!range.format.boolProperty(SQLEditorTextStorage::InputParameterAttribute))
                continue;
            QRectF box = textRect(visible.block, visible.rect, range.start, range.start + range.length);
            box.setWidth(std::min(box.width(), maximumParameterBoxWidth));
            boxes.push_back(box);
        }
    }
    return boxes;
}

std::vector<QLineF> SQLEditorLayoutManager::queryBreakLines(const SQLTextView &view,
                                                            const Blocks &blocks) const
{
    std::vector<QLineF> lines;
    if (!showQueryBreaks_)
        return lines;
    const qreal length = view.viewport()->width() - queryBreakLineInset;
    for (const SQLTextView::VisibleBlock &visible : blocks) {
        // Only a gap's empty lines begin with one of its line feeds.
        if (visible.block.length() != 1 || !SQLEditorTextStorage::blockIsInQueryBreak(visible.block))
            continue;
        const QTextLine line = visible.block.layout()->lineAt(0);
        if (!line.isValid())
            continue;
        const qreal x = visible.rect.left() + line.x();
        const qreal y = visible.rect.top() + line.y() + std::floor(line.height() / 2);
        lines.emplace_back(x, y, x + length, y);
    }
    return lines;
}
