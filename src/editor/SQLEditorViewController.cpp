#include "editor/SQLEditorViewController.h"

#include "editor/SQLEditorControllerInterface.h"
#include "editor/SQLEditorFont.h"
#include "editor/SQLEditorRulerView.h"
#include "editor/SQLEditorTextStorage.h"
#include "editor/SQLTextView.h"
#include "kit/CommandRouter.h"
#include "platform/NotificationCenter.h"
#include "platform/Preferences.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCoreApplication>
#include <QMenu>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTextBlock>
#include <QVBoxLayout>

namespace
{
const QString selectedRangeKey = QStringLiteral("SQLEditor.selectedRange");
const QString visibleRectKey = QStringLiteral("SQLEditor.visibleRect");
// A longer remembered selection is not restored.
constexpr qint64 maximumRememberedSelection = 100000000;

QString localized(const char *text)
{
    return QCoreApplication::translate("sqleditorcontroller", text);
}

// Ranges are remembered in the form "{location, length}".
QString stringFromRange(TextRange range)
{
    return QStringLiteral("{%1, %2}").arg(range.location).arg(range.length);
}

TextRange rangeFromString(const QString &string)
{
    static const QRegularExpression form(QStringLiteral("^\\{\\s*(\\d+)\\s*,\\s*(\\d+)\\s*\\}$"));
    const QRegularExpressionMatch match = form.match(string);
    if (!match.hasMatch())
        return {0, 0};
    return {match.captured(1).toLongLong(), match.captured(2).toLongLong()};
}
} // namespace

SQLEditorViewController::SQLEditorViewController(QObject *parent) : PaneViewController(parent)
{
    auto *view = new QWidget;
    auto *layout = new QVBoxLayout(view);
    layout->setContentsMargins(0, 0, 0, 0);
    sqlTextView_ = new SQLTextView(view);
    layout->addWidget(sqlTextView_);
    setView(view);
    sqlEditorDefaultsUpdated();
    installRuler();
    sqlTextView_->setUndoRedoEnabled(true);
    sqlTextView_->setDelegate(this);
    sqlTextView_->setShowQueryBreaks(true);
    NotificationCenter &center = NotificationCenter::defaultCenter();
    splitViewObserver_ = center.addObserver(QStringLiteral("ContentSplitViewABecameVisible"), nullptr,
                                            [this](const Notification &) { splitViewUpdates(); });
    preferenceObserver_ = center.addObserver(Preferences::sqlPreferenceUpdateNotification, nullptr,
                                             [this](const Notification &) { sqlEditorDefaultsUpdated(); });
}

SQLEditorViewController::~SQLEditorViewController()
{
    NotificationCenter::defaultCenter().removeObserver(splitViewObserver_);
    NotificationCenter::defaultCenter().removeObserver(preferenceObserver_);
    if (sqlTextView_)
        sqlTextView_->setDelegate(nullptr);
}

void SQLEditorViewController::installRuler()
{
    sqlTextView_->setVerticalRuler(std::make_unique<SQLEditorRulerView>(sqlTextView_));
    sqlTextView_->verticalRuler()->sourceUpdated();
}

void SQLEditorViewController::setSqlEditorController(SQLEditorControllerInterface *controller)
{
    if (controller == sqlEditorController_)
        return;
    sqlEditorController_ = controller;
    SQLEditorTextStorage *storage = controller ? controller->sqlEditorTextStorage() : nullptr;
    if (controller && !storage)
        return;
    sqlTextView_->setSelectedRange(0, 0);
    sqlTextView_->setTextStorage(storage); // each document keeps its text, colours and undo history
    installRuler();
}

void SQLEditorViewController::detachModel()
{
    setSqlEditorController(nullptr);
}

void SQLEditorViewController::sqlEditorDefaultsUpdated()
{
    if (sqlTextView_)
        sqlTextView_->setFont(SQLEditorFont::editorFont());
}

TextRange SQLEditorViewController::selectedRange() const
{
    return {sqlTextView_->selectedLocation(), sqlTextView_->selectedLength()};
}

void SQLEditorViewController::beep()
{
    QApplication::beep();
}

void SQLEditorViewController::executeSql(QObject *)
{
    const TextRange range = selectedRange();
    if (!sqlEditorController_ || !sqlEditorController_->canExecuteSQLInRange(range, false)) {
        beep();
        return;
    }
    TextRange extended;
    sqlEditorController_->executeSQLInRange(range, &extended);
}

void SQLEditorViewController::analyseSql(QObject *)
{
    const TextRange range = selectedRange();
    if (!sqlEditorController_ || !sqlEditorController_->canAnalyseSQLInRange(range, false)) {
        beep();
        return;
    }
    TextRange extended;
    sqlEditorController_->analyseSQLInRange(range, &extended);
}

// A selection that is only blanks, or holds no blank at all (one word), counts as a caret at its start,
// which picks the whole statement around it.
TextRange SQLEditorViewController::rangeForStatementCommand() const
{
    TextRange range = selectedRange();
    if (range.length == 0)
        return range;
    const QString selected = sqlTextView_->textStorage()->string().mid(range.location, range.length);
    static const QRegularExpression blank(QStringLiteral("\\s"));
    if (selected.trimmed().isEmpty() || !selected.contains(blank))
        range.length = 0;
    return range;
}

void SQLEditorViewController::replaceRange(TextRange range, const QString &text)
{
    QTextCursor cursor(sqlTextView_->document());
    cursor.setPosition(int(range.location));
    cursor.setPosition(int(range.end()), QTextCursor::KeepAnchor);
    cursor.insertText(text);
}

void SQLEditorViewController::formatSql(QObject *)
{
    if (!sqlEditorController_)
        return;
    TextRange extended;
    const QString formatted =
        sqlEditorController_->formattedSQLInRange(rangeForStatementCommand(), &extended);
    if (formatted.isNull())
        return;
    setSelectedRange(extended);
    replaceRange(extended, formatted); // one undoable edit
    setSelectedRange({extended.location, formatted.size()});
}

void SQLEditorViewController::exportSql(QObject *sender)
{
    if (!sqlEditorController_)
        return;
    const auto *action = qobject_cast<const QAction *>(sender);
    const QString format = action ? action->data().toString() : QString();
    TextRange extended;
    const QString code =
        sqlEditorController_->exportedSQLInRange(rangeForStatementCommand(), &extended, format);
    QApplication::clipboard()->setText(code);
    if (extended.length > 0)
        setSelectedRange(extended);
}

void SQLEditorViewController::cancelExecution(QObject *)
{
    if (sqlEditorController_)
        sqlEditorController_->cancelExecution();
}

void SQLEditorViewController::cancelOperation(QObject *) {}

bool SQLEditorViewController::validateAction(const QString &action) const
{
    const QString name = action.section(u':', 0, 0);
    static const QStringList always = {"cancelOperation", "increaseIdentation", "decreaseIdentation"};
    static const QStringList stateful = {"executeSql", "analyseSql", "formatSql", "exportSql",
                                         "cancelExecution"};
    if (!always.contains(name) && !stateful.contains(name))
        return false;
    if (CommandRouter::shared().firstResponder(sqlTextView_->window()) != sqlTextView_)
        return false;
    if (always.contains(name))
        return true;
    if (!sqlEditorController_)
        return false;
    const TextRange range = selectedRange();
    if (name == u"executeSql")
        return sqlEditorController_->canExecuteSQLInRange(range, true);
    if (name == u"analyseSql")
        return sqlEditorController_->canAnalyseSQLInRange(range, true);
    if (name == u"formatSql")
        return sqlEditorController_->canFormatSQLInRange(range);
    if (name == u"exportSql")
        return sqlEditorController_->canExportSQLInRange(range);
    return sqlEditorController_->canCancelExecution();
}

void SQLEditorViewController::insertText(const QString &text)
{
    sqlTextView_->textCursor().insertText(SQLEditorTextStorage::generalizeLineBreaks(text));
}

void SQLEditorViewController::insertQueryNearCursor(const QString &query)
{
    SQLEditorTextStorage &storage = *sqlTextView_->textStorage();
    const qint64 caret = sqlTextView_->selectedLocation();
    qint64 offset = 0;
    const SQLParserComponentList touching = storage.parsedComponentsInRange({caret, 0}, nullptr, &offset);
    if (touching.size() == 1 && touching.front()->parserComponentType() == SQLParserComponent::QueryBreak) {
        replaceRange({caret - offset, touching.front()->length()}, QStringLiteral("\n\n%1\n\n").arg(query));
        return;
    }
    TextRange statement;
    if (!storage.parsedComponentsBetweenQuerySeparatorsAroundLocation(caret, &statement).isEmpty())
        replaceRange({statement.end(), 0}, QStringLiteral("\n\n%1").arg(query));
    else
        replaceRange({0, 0}, query);
}

void SQLEditorViewController::setSelectedRange(TextRange range)
{
    sqlTextView_->setSelectedRange(int(range.location), int(range.length));
}

// Commands that cannot run now are disabled, and the copy submenu shows only with formats to offer.
QMenu *SQLEditorViewController::textViewMenu(SQLTextView *, QMenu *menu, QContextMenuEvent *, int)
{
    menu->addSeparator();
    QAction *format =
        menu->addAction(localized("Format SQL Statement"), this, [this] { formatSql(nullptr); });
    format->setEnabled(validateAction(QStringLiteral("formatSql:")));
    QMenu *copyAs = menu->addMenu(localized("Copy SQL Statement as"));
    copyAs->setObjectName(QStringLiteral("SqlEditorContextCopy"));
    copyAs->menuAction()->setVisible(fillExportMenu(copyAs) > 0);
    copyAs->setEnabled(validateAction(QStringLiteral("exportSql:")));
    return menu;
}

int SQLEditorViewController::fillExportMenu(QMenu *menu)
{
    menu->clear();
    const QStringList formats =
        sqlEditorController_ ? sqlEditorController_->sqlExportFormats() : QStringList();
    int items = 0;
    for (const QString &format : formats) {
        if (format.isEmpty()) {
            menu->addSeparator();
            continue;
        }
        const QString title = sqlEditorController_->displayNameForSqlExportFormat(format);
        QAction *item = menu->addAction(localized(title.toUtf8().constData()));
        if (format.startsWith(QStringLiteral("--"))) {
            QFont bold = item->font();
            bold.setBold(true);
            bold.setPointSize(14);
            item->setFont(bold);
            item->setEnabled(false);
        } else {
            item->setData(format);
            connect(item, &QAction::triggered, this, [this, item] { exportSql(item); });
            ++items;
        }
    }
    return items;
}

void SQLEditorViewController::encodeInferfaceState(QVariantMap &archive) const
{
    TextRange range = selectedRange();
    if (range.length > maximumRememberedSelection)
        range = {0, 0};
    archive.insert(selectedRangeKey, stringFromRange(range));
    const QRect visible(sqlTextView_->horizontalScrollBar()->value(),
                        sqlTextView_->verticalScrollBar()->value(), sqlTextView_->viewport()->width(),
                        sqlTextView_->viewport()->height());
    archive.insert(visibleRectKey, QVariantList{visible.x(), visible.y(), visible.width(), visible.height()});
}

// The scroll position is restored only in a view of the same size; another window size keeps its own.
void SQLEditorViewController::decodeInferfaceState(const QVariantMap &archive)
{
    setSelectedRange(rangeFromString(archive.value(selectedRangeKey).toString()));
    const QVariantList rect = archive.value(visibleRectKey).toList();
    if (rect.size() != 4)
        return;
    const QSize size(rect[2].toInt(), rect[3].toInt());
    if (size != sqlTextView_->viewport()->size())
        return;
    const QPoint origin(rect[0].toInt(), rect[1].toInt());
    fixScroll(origin);
    // Layout may still move the view once the window shows; put it back then.
    QMetaObject::invokeMethod(
        this, [this, origin] { fixScroll(origin); }, Qt::QueuedConnection);
}

void SQLEditorViewController::fixScroll(QPoint origin)
{
    if (sqlTextView_->horizontalScrollBar()->value() != origin.x())
        sqlTextView_->horizontalScrollBar()->setValue(origin.x());
    if (sqlTextView_->verticalScrollBar()->value() != origin.y())
        sqlTextView_->verticalScrollBar()->setValue(origin.y());
}

void SQLEditorViewController::setDefaultInterfaceState()
{
    QTextCursor cursor = sqlTextView_->textCursor();
    cursor.setPosition(int(sqlTextView_->textStorage()->length()));
    sqlTextView_->setTextCursor(cursor);
    sqlTextView_->verticalScrollBar()->setValue(0);
    sqlTextView_->horizontalScrollBar()->setValue(0);
}

void SQLEditorViewController::splitViewUpdates()
{
    if (sqlTextView_)
        sqlTextView_->setFocus();
}
