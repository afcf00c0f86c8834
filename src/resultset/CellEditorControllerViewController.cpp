#include "resultset/CellEditorControllerViewController.h"

#include <QAbstractItemView>
#include <QPlainTextEdit>
#include <QVBoxLayout>

CellEditorControllerViewController::CellEditorControllerViewController(QWidget *parent)
    : QFrame(parent, Qt::Popup)
{
    setFrameShape(QFrame::StyledPanel);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    textView_ = new QPlainTextEdit(this);
    textView_->setToolTip(tr("Close this editor") + QStringLiteral(" (Esc)"));
    layout->addWidget(textView_);
    resize(360, 200);
    connect(textView_, &QPlainTextEdit::textChanged, this, [this] {
        if (active_ && updatedText_)
            updatedText_(stringValue());
    });
}

void CellEditorControllerViewController::runForTableView(QAbstractItemView *view, int row, int column,
                                                         const QString &columnName)
{
    editingRow_ = row;
    editingColumn_ = column;
    editingColumnName_ = columnName;
    // Undo must not reach the text of an earlier cell.
    textView_->document()->clearUndoRedoStacks();
    active_ = true;
    const QRect cell = view->visualRect(view->model()->index(row, column));
    move(view->viewport()->mapToGlobal(cell.bottomLeft()));
    show();
    textView_->setFocus();
}

QString CellEditorControllerViewController::stringValue() const
{
    return textView_->toPlainText();
}

void CellEditorControllerViewController::setStringValue(const QString &text)
{
    const bool wasActive = active_;
    active_ = false; // seeding the editor is no change of the user's
    textView_->setPlainText(text);
    textView_->moveCursor(QTextCursor::End);
    active_ = wasActive;
}

void CellEditorControllerViewController::hideEvent(QHideEvent *event)
{
    QFrame::hideEvent(event);
    if (!active_)
        return;
    active_ = false;
    if (closed_)
        closed_(stringValue());
}
