#include "browser/BrowserController.h"
#include "browser/BrowserDefinitionActions.h"
#include "browser/BrowserElementStore.h"
#include "browser/BrowserOutlineModel.h"
#include "browser/BrowserViewController.h"
#include "kit/CommandRouter.h"
#include "kit/ImageUtil.h"

#include <QAction>
#include <QCoreApplication>
#include <QHash>
#include <QMenu>
#include <QMetaObject>

namespace
{
QString browserText(const char *text)
{
    return QCoreApplication::translate("browser", text);
}

// The object types of the "New" menu, in order, with their titles.
const QList<std::pair<QString, const char *>> &newItemTypes()
{
    static const QList<std::pair<QString, const char *>> types = {
        {QStringLiteral("TABLE"), QT_TRANSLATE_NOOP("browser", "Table")},
        {QStringLiteral("PROCEDURE"), QT_TRANSLATE_NOOP("browser", "Procedure")},
        {QStringLiteral("FUNCTION"), QT_TRANSLATE_NOOP("browser", "Function")},
        {QStringLiteral("PACKAGE"), QT_TRANSLATE_NOOP("browser", "Package")},
        {QStringLiteral("INDEX"), QT_TRANSLATE_NOOP("browser", "Index")},
        {QStringLiteral("SEQUENCE"), QT_TRANSLATE_NOOP("browser", "Sequence")},
        {QStringLiteral("CONSTRAINT"), QT_TRANSLATE_NOOP("browser", "Constraint")},
    };
    return types;
}

bool isExportable(const BrowserElement &element)
{
    return element.type() == QLatin1String("TABLE") || element.type() == QLatin1String("VIEW") ||
           element.subtype() == QLatin1String("table");
}

// A menu item that performs the command on this pane when chosen; the command is kept on the item.
QAction *commandItem(QMenu &menu, BrowserViewController *pane, const QString &title, const char *action)
{
    QAction *item = menu.addAction(title);
    if (!action)
        return item;
    const QByteArray selector(action);
    item->setProperty("vornAction", QString::fromLatin1(selector));
    const QByteArray method = selector.left(selector.size() - 1);
    QObject::connect(item, &QAction::triggered, pane, [pane, item, method] {
        QMetaObject::invokeMethod(pane, method.constData(), Qt::DirectConnection, Q_ARG(QObject *, item));
    });
    return item;
}
} // namespace

BrowserElementPtr BrowserViewController::representedElement(QObject *sender)
{
    const auto *item = qobject_cast<QAction *>(sender);
    return item ? qvariant_cast<BrowserElementPtr>(item->data()) : nullptr;
}

QAction *BrowserViewController::addCommandItem(QMenu &menu, const QString &title, const char *action,
                                               const BrowserElementPtr &element, bool enabled)
{
    QAction *item = commandItem(menu, this, title, enabled ? action : nullptr);
    item->setEnabled(enabled);
    if (element)
        item->setData(QVariant::fromValue(element));
    return item;
}

// Commands.

void BrowserViewController::navigateBack(QObject *)
{
    if (browserController_)
        browserController_->navigateBack();
}

void BrowserViewController::navigateForward(QObject *)
{
    if (browserController_)
        browserController_->navigateForward();
}

void BrowserViewController::reloadConnectionInfo(QObject *)
{
    if (browserController_)
        browserController_->reloadConnectionInfo();
}

void BrowserViewController::commit(QObject *)
{
    if (browserController_)
        browserController_->commit();
}

void BrowserViewController::rollback(QObject *)
{
    if (browserController_)
        browserController_->rollback();
}

void BrowserViewController::connect(QObject *)
{
    if (browserController_)
        browserController_->connect();
}

void BrowserViewController::disconnect(QObject *)
{
    if (browserController_)
        browserController_->disconnect();
}

void BrowserViewController::importDatafile(QObject *)
{
    if (browserController_)
        browserController_->importIntoElement(nullptr);
}

void BrowserViewController::exportData(QObject *)
{
    if (browserController_)
        browserController_->exportOfElement(nullptr);
}

void BrowserViewController::openRecycleBin(QObject *)
{
    if (browserController_)
        browserController_->openRecycleBin();
}

void BrowserViewController::toggleManagementMode(QObject *)
{
    if (browserController_ && browserController_->canToggleManagementMode())
        browserController_->toggleManagementMode();
}

void BrowserViewController::menuInfo(QObject *)
{
    if (browserController_ && selectedDataElement())
        browserController_->shouldOpenInfoOfElement(selectedDataElement());
}

void BrowserViewController::contextMenuInfo(QObject *sender)
{
    if (browserController_ && representedElement(sender))
        browserController_->shouldOpenInfoOfElement(representedElement(sender));
}

void BrowserViewController::menuFavourite(QObject *)
{
    favourite(selectedDataElement());
}

void BrowserViewController::contextMenuFavourite(QObject *sender)
{
    favourite(representedElement(sender));
}

void BrowserViewController::favourite(const BrowserElementPtr &element)
{
    if (browserController_ && element)
        browserController_->updateFavouriteStatus(!browserController_->itemIsFavourite(*element), *element);
}

void BrowserViewController::menuDrop(QObject *)
{
    if (definitions_ && definitions_->canDrop(selectedDataElement()))
        definitions_->drop(selectedDataElement(), outline_->window());
}

void BrowserViewController::contextMenuDrop(QObject *sender)
{
    if (definitions_ && definitions_->canDrop(representedElement(sender)))
        definitions_->drop(representedElement(sender), outline_->window());
}

void BrowserViewController::menuTruncate(QObject *)
{
    if (definitions_ && definitions_->canTruncate(selectedDataElement()))
        definitions_->truncate(selectedDataElement(), outline_->window());
}

void BrowserViewController::contextMenuTruncate(QObject *sender)
{
    if (definitions_ && definitions_->canTruncate(representedElement(sender)))
        definitions_->truncate(representedElement(sender), outline_->window());
}

void BrowserViewController::contextMenuTab(QObject *sender)
{
    if (browserController_ && representedElement(sender))
        browserController_->shouldSelectElementInNewTab(representedElement(sender), false);
}

void BrowserViewController::contextMenuWindow(QObject *sender)
{
    if (browserController_ && representedElement(sender))
        browserController_->shouldSelectElementInNewTab(representedElement(sender), true);
}

void BrowserViewController::contextMenuImport(QObject *sender)
{
    if (browserController_ && representedElement(sender))
        browserController_->importIntoElement(representedElement(sender));
}

void BrowserViewController::contextMenuExport(QObject *sender)
{
    if (browserController_ && representedElement(sender))
        browserController_->exportOfElement(representedElement(sender));
}

void BrowserViewController::createNewItem(QObject *sender)
{
    const auto *item = qobject_cast<QAction *>(sender);
    const QString type = item ? item->data().toString() : QString();
    if (definitions_ && definitions_->canCreateNew(type))
        definitions_->createNew(type, outline_->window());
}

void BrowserViewController::navigateFromMenuBack(QObject *sender)
{
    if (const auto *item = qobject_cast<QAction *>(sender); item && browserController_)
        browserController_->selectItem(item->property("tag").toULongLong(), true);
}

void BrowserViewController::navigateFromMenuForward(QObject *sender)
{
    if (const auto *item = qobject_cast<QAction *>(sender); item && browserController_)
        browserController_->selectItem(item->property("tag").toULongLong(), false);
}

void BrowserViewController::menuNothing(QObject *) {}

// Enabling.

bool BrowserViewController::validateAction(const QString &action) const
{
    const BrowserController *browser = browserController_;
    // Without a browser only the commands of the pane itself remain.
    if (!browser)
        return action == QLatin1String("menuNothing:") || action == QLatin1String("selectSearchField:") ||
               action == QLatin1String("performFindPanelAction:");
    const BrowserElementPtr selected = selectedDataElement();
    const bool elementCommand = selected && !browser->managementMode();
    static const QHash<QString, std::function<bool(const BrowserController &)>> rules = {
        {"reloadConnectionInfo:", &BrowserController::canReloadConnectionInfo},
        {"navigateBack:", &BrowserController::canNavigateBack},
        {"navigateForward:", &BrowserController::canNavigateForward},
        {"commit:", &BrowserController::canCommitOrRollback},
        {"rollback:", &BrowserController::canCommitOrRollback},
        {"connect:", &BrowserController::canConnect},
        {"disconnect:", &BrowserController::canDisconnect},
        {"importDatafile:", &BrowserController::canImport},
        {"exportData:", &BrowserController::canExport},
        {"openRecycleBin:", &BrowserController::canOpenRecycleBin},
        {"toggleManagementMode:", &BrowserController::canToggleManagementMode},
    };
    if (const auto rule = rules.constFind(action); rule != rules.cend())
        return (*rule)(*browser);
    if (action == QLatin1String("menuInfo:") || action == QLatin1String("menuFavourite:"))
        return elementCommand;
    if (action == QLatin1String("menuTruncate:"))
        return elementCommand && definitions_ && definitions_->canTruncate(selected);
    if (action == QLatin1String("menuDrop:"))
        return elementCommand && definitions_ && definitions_->canDrop(selected);
    return true;
}

bool BrowserViewController::validateMenuItem(QAction *item)
{
    const QString action = item->property("vornAction").toString();
    const BrowserElementPtr selected = selectedDataElement();
    if (action == QLatin1String("menuFavourite:") && selected && browserController_) {
        item->setCheckable(true);
        item->setChecked(browserController_->itemIsFavourite(*selected));
    } else if (action == QLatin1String("menuInfo:")) {
        item->setText(selected ? browserText("Open Info on %1").arg(selected->name())
                               : browserText("Open Info on Object"));
    }
    if (item->property("tag").toInt() == newMenuTag) {
        delete item->menu();
        item->setMenu(generateNewMenu());
    }
    return true;
}

// Menus.

QMenu *BrowserViewController::generateContextMenu()
{
    return generateContextMenu(selectedDataElement());
}

QMenu *BrowserViewController::generateContextMenu(const BrowserElementPtr &element)
{
    auto *menu = new QMenu;
    menu->setTitle(QStringLiteral("browsermenu"));
    if (browserController_ && !browserController_->managementMode())
        addContextMenuItems(*menu, element);
    QAction *panel =
        commandItem(*menu, this, QCoreApplication::translate("menu", "Show Browser Panel"), nullptr);
    panel->setShortcut(QKeySequence(Qt::CTRL | Qt::ALT | Qt::META | Qt::Key_0));
    panel->setProperty("vornAction", QStringLiteral("toggleMainLeftView:"));
    QObject::connect(panel, &QAction::triggered, this, [this, panel] {
        CommandRouter::shared().sendAction(QStringLiteral("toggleMainLeftView:"), panel, nullptr,
                                           outline_->window());
    });
    return menu;
}

void BrowserViewController::addContextMenuItems(QMenu &menu, const BrowserElementPtr &element)
{
    if (element) {
        QAction *info = addCommandItem(menu, browserText("Open Info on %1").arg(element->name()),
                                       "contextMenuInfo:", element);
        QFont bold = menu.font();
        bold.setBold(true);
        info->setFont(bold);
        QAction *favourite = addCommandItem(menu, browserText("Favourite"), "contextMenuFavourite:", element);
        favourite->setCheckable(true);
        favourite->setChecked(browserController_->itemIsFavourite(*element));
        menu.addSeparator();
        addCommandItem(menu, browserText("Open in New Tab"), "contextMenuTab:", element);
        addCommandItem(menu, browserText("Open in New Window"), "contextMenuWindow:", element);
        if (isExportable(*element)) {
            menu.addSeparator();
            if (element->type() == QLatin1String("TABLE"))
                addCommandItem(menu, browserText("Import Data"), "contextMenuImport:", element);
            addCommandItem(menu, browserText("Export Data"), "contextMenuExport:", element);
        }
        menu.addSeparator();
    }
    QMenu *create = generateNewMenu();
    create->setTitle(browserText("Create New"));
    create->setParent(&menu, create->windowFlags());
    menu.addMenu(create);
    menu.addSeparator();
    if (!element)
        return;
    addCommandItem(menu, browserText("Truncate..."), "contextMenuTruncate:", element,
                   definitions_ && definitions_->canTruncate(element));
    addCommandItem(menu, browserText("Drop..."), "contextMenuDrop:", element,
                   definitions_ && definitions_->canDrop(element));
    menu.addSeparator();
}

QMenu *BrowserViewController::generateNewMenu()
{
    auto *menu = new QMenu;
    menu->setTitle(QStringLiteral("New menu"));
    for (const auto &[type, title] : newItemTypes()) {
        if (!definitions_ || !definitions_->supportCreateNew(type))
            continue;
        const bool enabled = definitions_->canCreateNew(type);
        QAction *item = commandItem(*menu, this, browserText(title), enabled ? "createNewItem:" : nullptr);
        item->setData(type);
        item->setEnabled(enabled);
    }
    return menu;
}

QMenu *BrowserViewController::dragAndDroppableOutlineViewNeedsContextMenu(DragAndDroppableOutlineView *,
                                                                          const QPoint &position)
{
    return generateContextMenu(model_->elementAt(outline_->indexAt(position)));
}

QMenu *BrowserViewController::historyMenu(bool back)
{
    auto *menu = new QMenu;
    menu->setTitle(QStringLiteral("Navigation Menu"));
    if (!browserController_)
        return menu;
    const QList<BrowserElementPtr> entries =
        back ? browserController_->backHistory() : browserController_->forwardHistory();
    for (int i = 0; i < entries.size(); ++i) {
        QAction *item = commandItem(*menu, this, entries.at(i)->name(),
                                    back ? "navigateFromMenuBack:" : "navigateFromMenuForward:");
        item->setIcon(
            QIcon(ImageUtil::imageForBrowserElement(entries.at(i)->browserType(), entries.at(i)->subtype())));
        item->setProperty("tag", i);
    }
    return menu;
}

void BrowserViewController::showButtonMenuForSelector(const QString &action, QWidget *view, QPoint)
{
    QMenu *menu = historyMenu(action == QLatin1String("navigateBack:"));
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(view->mapToGlobal(QPoint(0, view->height())));
}
