#include "app/ApplicationMenu.h"

#include "app/RecentDocumentsMenu.h"
#include "editor/SQLEditorViewController.h"
#include "editor/SQLTextView.h"
#include "kit/CommandMenu.h"
#include "tabs/TabbedDocumentController.h"
#include "window/VornTabbedWindowController.h"

#include <QAction>
#include <QCoreApplication>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

#include <vector>

namespace
{

QString text(const char *source)
{
    return QCoreApplication::translate("MainMenu", source);
}

// One item of a menu table; an item without a title is a separator.
struct Item {
    const char *title = nullptr;
    const char *action = nullptr;
    QList<QKeySequence> keys;
};

QKeySequence key(QKeyCombination combination)
{
    return QKeySequence(combination);
}

void addItems(QMenu *menu, QMainWindow *window, const std::vector<Item> &items)
{
    for (const Item &item : items) {
        if (!item.title)
            menu->addSeparator();
        else
            CommandMenu::addItem(menu, window, text(item.title), QString::fromLatin1(item.action), item.keys);
    }
}

QMenu *addMenu(QMenuBar *bar, QMainWindow *window, const char *title)
{
    QMenu *menu = bar->addMenu(text(title));
    CommandMenu::validateOnShow(menu, window);
    return menu;
}

// The SQL editor pane of a document window; null for other windows.
SQLEditorViewController *sqlEditorPaneOf(const QWidget *window)
{
    for (TabbedWindowController *controller : TabbedWindowController::allWindowControllers()) {
        auto *vorn = qobject_cast<VornTabbedWindowController *>(controller);
        if (vorn && vorn->isWindowLoaded() && vorn->window() == window)
            return qobject_cast<SQLEditorViewController *>(
                vorn->pane(VornTabbedWindowController::Pane::SqlEditor));
    }
    return nullptr;
}

} // namespace

QMenuBar *ApplicationMenu::install(QMainWindow *window)
{
    CommandMenu::installKeyValidation();
    QMenuBar *bar = window->menuBar();
    addFileMenu(bar, window);
    addEditMenu(bar, window);
    addViewMenu(bar, window);
    addQueryMenu(bar, window);
    addResultsMenu(bar, window);
    addWindowMenu(bar, window);
    addHelpMenu(bar, window);
    return bar;
}

QString ApplicationMenu::actionOf(const QAction *item)
{
    return CommandMenu::actionOf(item);
}

void ApplicationMenu::addFileMenu(QMenuBar *bar, QMainWindow *window)
{
    QMenu *file = addMenu(bar, window, QT_TRANSLATE_NOOP("MainMenu", "&File"));
    addItems(file, window,
             {{QT_TRANSLATE_NOOP("MainMenu", "New Tab"), "newTab:", {key(Qt::CTRL | Qt::Key_T)}},
              {QT_TRANSLATE_NOOP("MainMenu", "New Window"), "newWindow:", {key(Qt::CTRL | Qt::Key_N)}},
              {QT_TRANSLATE_NOOP("MainMenu", "Duplicate Tab"),
               "duplicatieTab:",
               {key(Qt::CTRL | Qt::SHIFT | Qt::Key_T)}},
              {},
              {QT_TRANSLATE_NOOP("MainMenu", "Open…"), "openDocument:", {key(Qt::CTRL | Qt::Key_O)}}});
    RecentDocumentsMenu::attach(file->addMenu(text(QT_TRANSLATE_NOOP("MainMenu", "Open Recent"))));
    // Ctrl+Shift+S sorts the result grid, as the toolbar's Sort shows; Save As adds Alt.
    addItems(file, window,
             {{},
              {QT_TRANSLATE_NOOP("MainMenu", "Save"), "saveDocument:", {key(Qt::CTRL | Qt::Key_S)}},
              {QT_TRANSLATE_NOOP("MainMenu", "Save As…"),
               "saveDocumentAs:",
               {key(Qt::CTRL | Qt::ALT | Qt::SHIFT | Qt::Key_S)}},
              {QT_TRANSLATE_NOOP("MainMenu", "Revert to Saved"), "revertDocumentToSaved:", {}},
              {QT_TRANSLATE_NOOP("MainMenu", "Import…"), "importData:", {}},
              {QT_TRANSLATE_NOOP("MainMenu", "Export…"), "exportData:", {}},
              {},
              {QT_TRANSLATE_NOOP("MainMenu", "Close Tab"), "performCloseTab:", {key(Qt::CTRL | Qt::Key_W)}},
              {QT_TRANSLATE_NOOP("MainMenu", "Close Window"),
               "performClose:",
               {key(Qt::CTRL | Qt::SHIFT | Qt::Key_W)}},
              {},
              {QT_TRANSLATE_NOOP("MainMenu", "Page Setup…"), "runPageLayout:", {}},
              {QT_TRANSLATE_NOOP("MainMenu", "Print…"), "printDocument:", {key(Qt::CTRL | Qt::Key_P)}},
              {},
              {QT_TRANSLATE_NOOP("MainMenu", "Import Connections Backup…"), "importConnectionsBackup:", {}},
              {QT_TRANSLATE_NOOP("MainMenu", "Create Connections Backup…"), "createConnectionsBackup:", {}},
              {},
              {QT_TRANSLATE_NOOP("MainMenu", "Quit Vorn"), "terminate:", {key(Qt::CTRL | Qt::Key_Q)}}});
}

// Preferences sit at the end of Edit, where Linux programs keep them.
void ApplicationMenu::addEditMenu(QMenuBar *bar, QMainWindow *window)
{
    // Ctrl+Y shows and hides the SQL editor (View), so Redo keeps only Ctrl+Shift+Z.
    addItems(addMenu(bar, window, QT_TRANSLATE_NOOP("MainMenu", "&Edit")), window,
             {{QT_TRANSLATE_NOOP("MainMenu", "Undo"), "undo:", {key(Qt::CTRL | Qt::Key_Z)}},
              {QT_TRANSLATE_NOOP("MainMenu", "Redo"), "redo:", {key(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)}},
              {},
              {QT_TRANSLATE_NOOP("MainMenu", "Cut"), "cut:", {key(Qt::CTRL | Qt::Key_X)}},
              {QT_TRANSLATE_NOOP("MainMenu", "Copy"), "copy:", {key(Qt::CTRL | Qt::Key_C)}},
              {QT_TRANSLATE_NOOP("MainMenu", "Paste"), "paste:", {key(Qt::CTRL | Qt::Key_V)}},
              {QT_TRANSLATE_NOOP("MainMenu", "Select All"), "selectAll:", {key(Qt::CTRL | Qt::Key_A)}},
              {},
              {QT_TRANSLATE_NOOP("MainMenu", "Go to Line…"), "gotoLine:", {key(Qt::CTRL | Qt::Key_L)}},
              {QT_TRANSLATE_NOOP("MainMenu", "Shift Right"),
               "increaseIdentation:",
               {key(Qt::CTRL | Qt::Key_BracketRight)}},
              {QT_TRANSLATE_NOOP("MainMenu", "Shift Left"),
               "decreaseIdentation:",
               {key(Qt::CTRL | Qt::Key_BracketLeft)}},
              {},
              {QT_TRANSLATE_NOOP("MainMenu", "Preferences…"),
               "runPreferences:",
               {key(Qt::CTRL | Qt::Key_Comma)}}});
}

// The pane toggles are retitled Show or Hide by the window controller as their panes are.
void ApplicationMenu::addViewMenu(QMenuBar *bar, QMainWindow *window)
{
    addItems(addMenu(bar, window, QT_TRANSLATE_NOOP("MainMenu", "&View")), window,
             {{QT_TRANSLATE_NOOP("MainMenu", "Hide Browser Panel"),
               "toggleMainLeftView:",
               {key(Qt::CTRL | Qt::ALT | Qt::META | Qt::Key_0)}},
              {QT_TRANSLATE_NOOP("MainMenu", "Hide Inspector Panel"),
               "toggleMainRightView:",
               {key(Qt::CTRL | Qt::ALT | Qt::Key_0)}},
              {QT_TRANSLATE_NOOP("MainMenu", "Open Info in Own Window"), "openInfoInOwnWindow:", {}},
              {QT_TRANSLATE_NOOP("MainMenu", "Management Mode"), "toggleManagementMode:", {}},
              {QT_TRANSLATE_NOOP("MainMenu", "Hide SQL Editor"),
               "toggleContentUpperView:",
               {key(Qt::CTRL | Qt::Key_Y)}},
              {QT_TRANSLATE_NOOP("MainMenu", "Hide Execution Log"),
               "toggleContentLowerView:",
               {key(Qt::CTRL | Qt::SHIFT | Qt::Key_Y)}},
              {},
              {QT_TRANSLATE_NOOP("MainMenu", "Hide Toolbar"), "toggleToolbarShown:", {}}});
}

void ApplicationMenu::addQueryMenu(QMenuBar *bar, QMainWindow *window)
{
    QMenu *query = addMenu(bar, window, QT_TRANSLATE_NOOP("MainMenu", "&Query"));
    addItems(
        query, window,
        {{QT_TRANSLATE_NOOP("MainMenu", "Execute"),
          "executeSql:",
          {key(Qt::CTRL | Qt::Key_Return), key(Qt::CTRL | Qt::Key_Enter)}},
         {QT_TRANSLATE_NOOP("MainMenu", "Stop"), "cancelExecution:", {key(Qt::CTRL | Qt::Key_Period)}},
         {},
         {QT_TRANSLATE_NOOP("MainMenu", "Commit"), "commit:", {key(Qt::CTRL | Qt::SHIFT | Qt::Key_K)}},
         {QT_TRANSLATE_NOOP("MainMenu", "Rollback"), "rollback:", {key(Qt::CTRL | Qt::SHIFT | Qt::Key_R)}},
         {},
         {QT_TRANSLATE_NOOP("MainMenu", "Analyse"), "analyseSql:", {key(Qt::CTRL | Qt::SHIFT | Qt::Key_A)}},
         {QT_TRANSLATE_NOOP("MainMenu", "Format SQL Statement"), "formatSql:", {}}});
    // Filled from the shown editor's code formats; hidden while there are none.
    QMenu *copyAs = query->addMenu(text(QT_TRANSLATE_NOOP("MainMenu", "Copy SQL Statement as")));
    copyAs->setObjectName(QStringLiteral("SQLCOPYITEM"));
    copyAs->menuAction()->setVisible(false);
    QObject::connect(query, &QMenu::aboutToShow, copyAs, [copyAs, window] {
        SQLEditorViewController *editor = sqlEditorPaneOf(window);
        copyAs->menuAction()->setVisible(editor && editor->fillExportMenu(copyAs) > 0);
        copyAs->setEnabled(editor && editor->validateAction(QStringLiteral("exportSql:")));
    });
}

// The grid's commands; those it does not perform yet stay disabled.
void ApplicationMenu::addResultsMenu(QMenuBar *bar, QMainWindow *window)
{
    addItems(addMenu(bar, window, QT_TRANSLATE_NOOP("MainMenu", "&Results")), window,
             {{QT_TRANSLATE_NOOP("MainMenu", "Refresh"), "refresh:", {key(Qt::CTRL | Qt::Key_R)}},
              {},
              {QT_TRANSLATE_NOOP("MainMenu", "Add Row"), "addRow:", {key(Qt::CTRL | Qt::Key_Equal)}},
              {QT_TRANSLATE_NOOP("MainMenu", "Delete Row"), "deleteRow:", {key(Qt::CTRL | Qt::Key_Minus)}},
              {},
              {QT_TRANSLATE_NOOP("MainMenu", "Filter…"), "filter:", {key(Qt::CTRL | Qt::SHIFT | Qt::Key_F)}},
              {QT_TRANSLATE_NOOP("MainMenu", "Sort…"), "sort:", {key(Qt::CTRL | Qt::SHIFT | Qt::Key_S)}},
              {},
              {QT_TRANSLATE_NOOP("MainMenu", "Select the Result Grid"),
               "selectResultset:",
               {key(Qt::CTRL | Qt::ALT | Qt::Key_L)}},
              {QT_TRANSLATE_NOOP("MainMenu", "Select the Quick Filter"),
               "selectQuickFilter:",
               {key(Qt::CTRL | Qt::ALT | Qt::Key_F)}}});
}

void ApplicationMenu::addWindowMenu(QMenuBar *bar, QMainWindow *window)
{
    QMenu *windows = addMenu(bar, window, QT_TRANSLATE_NOOP("MainMenu", "&Window"));
    addItems(windows, window,
             {{QT_TRANSLATE_NOOP("MainMenu", "Select Next Tab"),
               "selectNextTab:",
               {key(Qt::CTRL | Qt::Key_PageDown)}},
              {QT_TRANSLATE_NOOP("MainMenu", "Select Previous Tab"),
               "selectPreviousTab:",
               {key(Qt::CTRL | Qt::Key_PageUp)}},
              {},
              {QT_TRANSLATE_NOOP("MainMenu", "Collect All Tabs"), "collectAllTabs:", {}},
              {},
              {QT_TRANSLATE_NOOP("MainMenu", "Welcome to Vorn"), "openWelcomeScreen:", {}},
              {QT_TRANSLATE_NOOP("MainMenu", "Query History"),
               "openQueryRecall:",
               {key(Qt::CTRL | Qt::SHIFT | Qt::Key_H)}},
              {QT_TRANSLATE_NOOP("MainMenu", "Activity Viewer"), "runActivityViewer:", {}}});
    // From the third separator on, the document controller lists the windows and their tabs.
    windows->addSeparator();
    QObject::connect(windows, &QMenu::aboutToShow, windows, [windows] {
        if (TabbedDocumentController *documents = TabbedDocumentController::sharedDocumentController())
            documents->menuNeedsUpdate(windows);
    });
}

void ApplicationMenu::addHelpMenu(QMenuBar *bar, QMainWindow *window)
{
    addItems(addMenu(bar, window, QT_TRANSLATE_NOOP("MainMenu", "&Help")), window,
             {{QT_TRANSLATE_NOOP("MainMenu", "About Vorn"), "runAboutPanel:", {}},
              {},
              {QT_TRANSLATE_NOOP("MainMenu", "Release Notes"), "openReleaseNotes:", {}},
              {QT_TRANSLATE_NOOP("MainMenu", "Acknowledgements"), "openAcknowledgements:", {}},
              {},
              {QT_TRANSLATE_NOOP("MainMenu", "Vorn Website"), "openVornWebsite:", {}},
              {QT_TRANSLATE_NOOP("MainMenu", "Dalmerik Website"), "openWebsite:", {}},
              {QT_TRANSLATE_NOOP("MainMenu", "Vorn Support"), "openSupport:", {}},
              {QT_TRANSLATE_NOOP("MainMenu", "Send Feedback…"), "sendFeedback:", {}}});
}
