#pragma once

#include <QFrame>
#include <QPointer>
#include <QString>

#include <functional>

class QAbstractItemView;
class QPlainTextEdit;

// A popup with a plain text editor for one cell of the grid, for values too long to type in the cell.
// It tells its owner every change and, when it closes (Escape or a click outside), the text it closed
// with. Each cell starts with an empty undo history. Reused for every cell; main thread only.
class CellEditorControllerViewController : public QFrame
{
    Q_OBJECT
public:
    using TextCallback = std::function<void(const QString &text)>;

    explicit CellEditorControllerViewController(QWidget *parent = nullptr);

    void setUpdatedText(TextCallback callback) { updatedText_ = std::move(callback); }
    void setClosedWithUpdatedText(TextCallback callback) { closed_ = std::move(callback); }

    // Shows the popup under the cell of the view's row and column.
    void runForTableView(QAbstractItemView *view, int row, int column, const QString &columnName);

    bool active() const { return active_; }
    int editingRow() const { return editingRow_; }
    int editingColumn() const { return editingColumn_; }
    QString editingColumnName() const { return editingColumnName_; }
    QString stringValue() const;
    void setStringValue(const QString &text);
    QPlainTextEdit *textView() const { return textView_; }

protected:
    void hideEvent(QHideEvent *event) override;

private:
    QPlainTextEdit *textView_ = nullptr;
    TextCallback updatedText_;
    TextCallback closed_;
    bool active_ = false;
    int editingRow_ = -1;
    int editingColumn_ = -1;
    QString editingColumnName_;
};
