#pragma once

#include <QFont>
#include <QPointer>
#include <QWidget>

class SQLTextView;

// The line-number strip beside an SQL text view. It numbers every line that starts in the visible part
// of the text, right-aligned, in a strip that widens with the digits of the last line number.
class SQLEditorRulerView : public QWidget
{
    Q_OBJECT
public:
    static constexpr double minimumThickness = 22.0;

    explicit SQLEditorRulerView(SQLTextView *scrollView);
    ~SQLEditorRulerView() override;

    // The view whose lines are numbered; the count is taken again once events are processed.
    void setClientView(SQLTextView *view);
    SQLTextView *clientView() const { return clientView_; }

    // After an edit: widens or narrows the strip and redraws when the line count changed.
    void sourceUpdated();
    qint64 lineCount() const;
    // Width the strip needs for the current line count, measured once per line count.
    double requiredThickness();
    int ruleThickness() const { return ruleThickness_; }

    // Font and number colour from the preferences (the colour follows the window's key state now).
    void sqlEditorDefaultsUpdated();
    QFont labelFont() const;
    QColor textColor() const;
    void windowKeyChanged();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void setRuleThickness(int thickness);
    bool drawsActive() const;

    QPointer<SQLTextView> clientView_;
    qint64 lc_ = 0;
    QFont font_;
    QColor textColor_;
    qint64 requiredThicknessLineCount_ = -1;
    float requiredThicknessThickness_ = 0;
    int ruleThickness_ = int(minimumThickness);
    quint64 preferenceObserver_ = 0;
};
