#include "app/ApplicationMenu.h"

#include "kit/CommandRouter.h"
#include "tabs/TabbedDocumentController.h"

#include <QAction>
#include <QCoreApplication>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>

namespace
{

QString text(const char *source)
{
    return QCoreApplication::translate("MainMenu", source);
}

const char *ActionProperty = "vornAction";

} // namespace

QMenuBar *ApplicationMenu::install(QMainWindow *window)
{
    QMenuBar *bar = window->menuBar();
    QMenu *vorn = bar->addMenu(QStringLiteral("&Vorn"));
    addItem(vorn, window, text("About Vorn"), "runAboutPanel:");
    vorn->addSeparator();
    addItem(vorn, window, text("Quit Vorn"), "terminate:", QKeySequence(Qt::CTRL | Qt::Key_Q));

    QMenu *file = bar->addMenu(text("&File"));
    addItem(file, window, text("New"), "newDocument:", QKeySequence(Qt::CTRL | Qt::Key_N));
    addItem(file, window, text("New Tab"), "newTab:", QKeySequence(Qt::CTRL | Qt::Key_T));
    addItem(file, window, text("Duplicate Tab"),
            "duplicatieTab:", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_T));
    addItem(file, window, text("Open…"), "openDocument:", QKeySequence(Qt::CTRL | Qt::Key_O));
    file->addSeparator();
    addItem(file, window, text("Close Tab"), "performCloseTab:", QKeySequence(Qt::CTRL | Qt::Key_W));
    file->addSeparator();
    addItem(file, window, text("Create Connections Backup…"), "createConnectionsBackup:");
    addItem(file, window, text("Import Connections Backup…"), "importConnectionsBackup:");

    QMenu *windows = bar->addMenu(text("&Window"));
    addItem(windows, window, text("Select Next Tab"),
            "selectNextTab:", QKeySequence(Qt::CTRL | Qt::Key_PageDown));
    addItem(windows, window, text("Select Previous Tab"),
            "selectPreviousTab:", QKeySequence(Qt::CTRL | Qt::Key_PageUp));
    windows->addSeparator();
    addItem(windows, window, text("Collect All Tabs"), "collectAllTabs:");
    windows->addSeparator();
    addItem(windows, window, text("Welcome to Vorn"), "openWelcomeScreen:");
    // From the third separator on, the document controller lists the windows and their tabs.
    windows->addSeparator();
    QObject::connect(windows, &QMenu::aboutToShow, windows, [windows] {
        if (TabbedDocumentController *documents = TabbedDocumentController::sharedDocumentController())
            documents->menuNeedsUpdate(windows);
    });

    QMenu *help = bar->addMenu(text("&Help"));
    addItem(help, window, text("Release Notes"), "openReleaseNotes:");
    addItem(help, window, text("Acknowledgements"), "openAcknowledgements:");
    help->addSeparator();
    addItem(help, window, text("Vorn Website"), "openVornWebsite:");
    addItem(help, window, text("Dalmerik Website"), "openWebsite:");
    addItem(help, window, text("Vorn Support"), "openSupport:");
    addItem(help, window, text("Send Feedback…"), "sendFeedback:");

    for (QMenu *menu : {vorn, file, windows, help}) {
        QObject::connect(menu, &QMenu::aboutToShow, menu, [menu, window] {
            for (QAction *item : menu->actions()) {
                if (!actionOf(item).isEmpty())
                    item->setEnabled(CommandRouter::shared().targetForAction(actionOf(item), window) !=
                                     nullptr);
            }
        });
    }
    return bar;
}

QString ApplicationMenu::actionOf(const QAction *item)
{
    return item->property(ActionProperty).toString();
}

void ApplicationMenu::addItem(QMenu *menu, QMainWindow *window, const QString &title, const QString &action,
                              const QKeySequence &shortcut)
{
    QAction *item = menu->addAction(title);
    item->setShortcut(shortcut);
    item->setProperty(ActionProperty, action);
    QPointer<QMainWindow> target(window);
    QObject::connect(item, &QAction::triggered, item, [item, target, action] {
        if (target)
            CommandRouter::shared().sendAction(action, item, nullptr, target);
    });
}
