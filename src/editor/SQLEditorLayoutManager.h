#pragma once

#include "editor/SQLTextView.h"

#include <QLineF>
#include <QRectF>

#include <vector>

class QRect;

// Paints behind the text of an SQL view what the storage marks on it: the background of the statement
// being run, a dashed box behind every `:name` parameter and, when switched on (the SQL editor only), a
// dashed line through each empty line of a blank-line gap between statements.
class SQLEditorLayoutManager
{
public:
    bool showQueryBreaks() const { return showQueryBreaks_; }
    void setShowQueryBreaks(bool show) { showQueryBreaks_ = show; }

    // Draws the marks of the given visible blocks that meet the exposed part of the view's viewport.
    // A painter is only begun where there is a mark to draw: most lines typed in have none.
    void drawBackground(const SQLTextView &view, const QRect &exposed,
                        const std::vector<SQLTextView::VisibleBlock> &blocks) const;

    // Geometry in viewport coordinates of the visible marks.
    std::vector<QRectF> activeRangeRects(const SQLTextView &view) const
    {
        return activeRangeRects(view, view.visibleBlocks());
    }
    std::vector<QRectF> parameterBoxes(const SQLTextView &view) const
    {
        return parameterBoxes(view.visibleBlocks());
    }
    std::vector<QLineF> queryBreakLines(const SQLTextView &view) const
    {
        return queryBreakLines(view, view.visibleBlocks());
    }

private:
    using Blocks = std::vector<SQLTextView::VisibleBlock>;
    std::vector<QRectF> activeRangeRects(const SQLTextView &view, const Blocks &blocks) const;
    std::vector<QRectF> parameterBoxes(const Blocks &blocks) const;
    std::vector<QLineF> queryBreakLines(const SQLTextView &view, const Blocks &blocks) const;

    bool showQueryBreaks_ = false;
};
