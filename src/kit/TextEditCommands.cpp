#include "kit/TextEditCommands.h"

#include "kit/CommandRouter.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QTextEdit>

namespace
{

bool clipboardHasText()
{
    const QMimeData *data = QGuiApplication::clipboard()->mimeData();
    return data && data->hasText();
}

// QPlainTextEdit and QTextEdit share these operations without a common base.
template <typename Edit> bool textViewCan(const Edit *edit, const QString &action)
{
    const bool editable = !edit->isReadOnly();
    const bool selection = edit->textCursor().hasSelection();
    if (action == u"undo:")
        return editable && edit->document()->isUndoAvailable();
    if (action == u"redo:")
        return editable && edit->document()->isRedoAvailable();
    if (action == u"cut:")
        return editable && selection;
    if (action == u"copy:")
        return selection;
    if (action == u"paste:")
        return editable && edit->canPaste();
    if (action == u"selectAll:")
        return !edit->document()->isEmpty();
    return false;
}

// QLineEdit, QPlainTextEdit and QTextEdit name these slots alike.
template <typename Edit> void performOn(Edit *edit, const QString &action)
{
    if (action == u"undo:")
        edit->undo();
    else if (action == u"redo:")
        edit->redo();
    else if (action == u"cut:")
        edit->cut();
    else if (action == u"copy:")
        edit->copy();
    else if (action == u"paste:")
        edit->paste();
    else if (action == u"selectAll:")
        edit->selectAll();
}

bool lineEditCan(const QLineEdit *edit, const QString &action)
{
    const bool editable = !edit->isReadOnly();
    const bool copyable = edit->hasSelectedText() && edit->echoMode() == QLineEdit::Normal;
    if (action == u"undo:")
        return editable && edit->isUndoAvailable();
    if (action == u"redo:")
        return editable && edit->isRedoAvailable();
    if (action == u"cut:")
        return editable && copyable;
    if (action == u"copy:")
        return copyable;
    if (action == u"paste:")
        return editable && clipboardHasText();
    if (action == u"selectAll:")
        return !edit->text().isEmpty();
    return false;
}

bool can(QWidget *widget, const QString &action)
{
    if (auto *edit = qobject_cast<QLineEdit *>(widget))
        return lineEditCan(edit, action);
    if (auto *edit = qobject_cast<QPlainTextEdit *>(widget))
        return textViewCan(edit, action);
    if (auto *edit = qobject_cast<QTextEdit *>(widget))
        return textViewCan(edit, action);
    if (auto *view = qobject_cast<QAbstractItemView *>(widget))
        return action == u"selectAll:" && view->model() && view->model()->rowCount(view->rootIndex()) > 0 &&
               view->selectionMode() != QAbstractItemView::NoSelection;
    return false;
}

void perform(QWidget *widget, const QString &action)
{
    if (!can(widget, action))
        return;
    if (auto *edit = qobject_cast<QLineEdit *>(widget))
        performOn(edit, action);
    else if (auto *edit = qobject_cast<QPlainTextEdit *>(widget))
        performOn(edit, action);
    else if (auto *edit = qobject_cast<QTextEdit *>(widget))
        performOn(edit, action);
    else if (auto *view = qobject_cast<QAbstractItemView *>(widget))
        view->selectAll();
}

} // namespace

TextEditCommands::TextEditCommands(QObject *parent) : QObject(parent) {}

QWidget *TextEditCommands::focused()
{
    return CommandRouter::shared().firstResponder(CommandRouter::mainWindow());
}

void TextEditCommands::undo(QObject *)
{
    perform(focused(), QStringLiteral("undo:"));
}

void TextEditCommands::redo(QObject *)
{
    perform(focused(), QStringLiteral("redo:"));
}

void TextEditCommands::cut(QObject *)
{
    perform(focused(), QStringLiteral("cut:"));
}

void TextEditCommands::copy(QObject *)
{
    perform(focused(), QStringLiteral("copy:"));
}

void TextEditCommands::paste(QObject *)
{
    perform(focused(), QStringLiteral("paste:"));
}

void TextEditCommands::selectAll(QObject *)
{
    perform(focused(), QStringLiteral("selectAll:"));
}

bool TextEditCommands::validateAction(const QString &action) const
{
    QWidget *widget = focused();
    return widget && can(widget, action);
}
