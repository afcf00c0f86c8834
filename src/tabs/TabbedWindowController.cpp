#include "tabs/TabbedWindowController.h"

#include "kit/Colors.h"
#include "kit/CommandRouter.h"
#include "tabs/Tab.h"
#include "tabs/Tabbar.h"
#include "tabs/TabbedDocument.h"
#include "tabs/TabbedWindowMenu.h"
#include "tabs/TabsLog.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QDataStream>
#include <QIODevice>
#include <QMenu>
#include <QToolBar>
#include <QVBoxLayout>

namespace
{

QList<TabbedWindowController *> &liveControllers()
{
    static QList<TabbedWindowController *> controllers;
    return controllers;
}

constexpr quint32 stateMagic = 0x56495354; // "VIST"
constexpr quint32 stateVersion = 1;

QString tabbedText(const char *text)
{
    return QCoreApplication::translate("tabbedwindowcontroller", text);
}

// The widget that had the focus, as the tab should get it back: an item view rather than its
// cell editor, which is gone once editing has ended.
QWidget *responderFor(QWidget *focus)
{
    for (QWidget *widget = focus; widget; widget = widget->parentWidget()) {
        if (widget->isWindow())
            break;
        if (auto *view = qobject_cast<QAbstractItemView *>(widget); view && view != focus)
            return view;
    }
    return focus;
}

// Unsaved text shows before the title of the tab and of the window.
QString editedMark(const TabbedDocument *document)
{
    return document->isDocumentEdited() ? QStringLiteral("*") : QString();
}

} // namespace

TabbedWindowController::TabbedWindowController(QObject *parent) : QObject(parent)
{
    documents_.reserve(8);
    windowStates_.reserve(8);
    firstResponders_.reserve(8);
    liveControllers().append(this);
}

TabbedWindowController::~TabbedWindowController()
{
    liveControllers().removeAll(this);
    if (tabbar_)
        tabbar_->setDelegate(nullptr);
    if (window_)
        window_->setDelegate(nullptr);
    for (TabbedDocument *document : std::as_const(documents_)) {
        if (document->sharedWindowController() == this)
            document->setSharedWindowController(nullptr);
    }
}

QList<TabbedWindowController *> TabbedWindowController::allWindowControllers()
{
    return liveControllers();
}

AdvancedWindow *TabbedWindowController::window()
{
    if (!window_)
        loadWindow();
    return window_.get();
}

void TabbedWindowController::loadWindow()
{
    if (window_)
        return;
    window_ = std::make_unique<AdvancedWindow>();
    window_->setAttribute(Qt::WA_DeleteOnClose, false);
    auto *central = new QWidget;
    auto *layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    tabbar_ = createTabbar();
    if (tabbar_) {
        layout->addWidget(tabbar_->widget());
        tabbar_->setDelegate(this);
    }
    mainContent_ = new QWidget;
    layout->addWidget(mainContent_, 1);
    window_->setCentralWidget(central);
    installToolbar(toolbar());
    window_->setDelegate(this);
    window_->setEnableCloseTabOverride(false);
    CommandRouter::shared().setWindowResponder(window_.get(), this);
    windowDidLoad();
}

void TabbedWindowController::installToolbar(QToolBar *toolbar)
{
    if (toolbar == currentToolbar_)
        return;
    if (currentToolbar_)
        window_->removeToolBar(currentToolbar_);
    currentToolbar_ = toolbar;
    if (toolbar) {
        window_->addToolBar(toolbar);
        toolbar->show();
    }
}

// --- Tab list ---------------------------------------------------------------------------------

void TabbedWindowController::addDocument(TabbedDocument *document, bool nextToActive)
{
    Q_ASSERT_X(!documents_.contains(document), "addDocument", "adding document allready in windowcontroller");
    if (documents_.contains(document))
        return;
    const qsizetype active = activeDocument_ ? documents_.indexOf(activeDocument_) : -1;
    addDocumentAtPosition(document, nextToActive && active >= 0 ? int(active + 1) : int(documents_.size()));
}

void TabbedWindowController::addDocumentAtPosition(TabbedDocument *document, int position)
{
    Q_ASSERT_X(!documents_.contains(document), "addDocument", "adding document allready in windowcontroller");
    if (documents_.contains(document))
        return;
    documents_.insert(qBound(0, position, int(documents_.size())), document);
    // A document deleted behind our back must not stay in the list.
    connect(document, &QObject::destroyed, this, [this](QObject *gone) {
        documents_.removeAll(static_cast<TabbedDocument *>(gone));
        if (activeDocument_ == gone)
            activeDocument_ = nullptr;
    });
    documentsUpdated();
}

void TabbedWindowController::removeDocument(TabbedDocument *document)
{
    const qsizetype index = documents_.indexOf(document);
    if (index < 0)
        return;
    document->removeWindowController(this);
    documents_.removeAt(index);
    QObject::disconnect(document, nullptr, this, nullptr);
    removeWindowStatesForDocument(document);
    firstResponders_.remove(document->documentId());
    if (document == activeDocument_) {
        if (index < documents_.size())
            activateDocument(documents_.at(index));
        else if (index > 0)
            activateDocument(documents_.at(index - 1));
        else {
            activateDocument(nullptr);
            return;
        }
    }
    documentsUpdated();
}

void TabbedWindowController::documentsUpdated()
{
    if (tabbar_)
        tabbar_->reEvaluateTabs();
    if (TabbedWindowMenu *menu = TabbedWindowMenu::shared())
        menu->updateWindowMenu();
}

void TabbedWindowController::documentStatusUpdated(TabbedDocument *document)
{
    const qsizetype index = documents_.indexOf(document);
    if (index < 0)
        return;
    if (tabbar_)
        tabbar_->reEvaluateTab(int(index));
    if (document == activeDocument_)
        synchronizeWindowTitleWithDocumentName();
    if (needToolbarUpdate()) {
        if (window_)
            installToolbar(toolbar());
        updateToolbar();
    }
}

// --- Activation ---------------------------------------------------------------------------------

bool TabbedWindowController::isMainWindow() const
{
    return window_ && window_->isActiveWindow();
}

QByteArray TabbedWindowController::currentInterfaceState()
{
    QVariantMap archive;
    encodeInferfaceState(archive);
    return archiveInterfaceState(archive);
}

void TabbedWindowController::sendBackActiveDocument(bool storeState)
{
    TabbedDocument *old = activeDocument_;
    if (isMainWindow())
        old->documentTabWillResignMain();
    old->documentTabWillOrderOut();
    if (storeState)
        setWindowStates(currentInterfaceState(), old);
    if (!window_)
        return;
    QWidget *focus = window_->focusWidget();
    if (storeState)
        firstResponders_.insert(old->documentId(), responderFor(focus));
    // Ends an edit in progress (a field or a cell editor commits when it loses the focus).
    if (focus)
        focus->clearFocus();
}

void TabbedWindowController::bringForward(TabbedDocument *document)
{
    activeDocument_ = document;
    if (window_)
        CommandRouter::shared().setDocumentResponder(window_.get(), document);
    document->addWindowController(this);
    document->loadDocumentInWindowController(this);
    const QByteArray states = windowStatesForDocument(document);
    const std::optional<QVariantMap> archive = unarchiveInterfaceState(states);
    if (archive) {
        decodeInferfaceState(*archive);
        QPointer<QWidget> responder = firstResponders_.value(document->documentId());
        if (responder && window_ && responder->window() == window_.get())
            responder->setFocus(Qt::OtherFocusReason);
        else if (window_ && window_->focusWidget())
            window_->focusWidget()->clearFocus();
    } else {
        setDefaultInterfaceState();
    }
    documentsUpdated();
    activeDocumentUpdated(document);
    document->documentTabDidOrderFront();
    if (isMainWindow())
        document->documentTabDidBecomeMain();
    synchronizeWindowTitleWithDocumentName();
}

void TabbedWindowController::activateDocument(TabbedDocument *document)
{
    if (document == activeDocument_)
        return;
    if (activeDocument_)
        sendBackActiveDocument(documents_.contains(activeDocument_));
    if (document) {
        bringForward(document);
        return;
    }
    activeDocument_ = nullptr;
    if (window_)
        CommandRouter::shared().setDocumentResponder(window_.get(), nullptr);
    setDefaultInterfaceState();
    documentsUpdated();
    synchronizeWindowTitleWithDocumentName();
}

void TabbedWindowController::activateTab(int index)
{
    if (index >= 0 && index < documents_.size())
        activateDocument(documents_.at(index));
}

int TabbedWindowController::activeTab() const
{
    return activeDocument_ ? int(documents_.indexOf(activeDocument_)) : -1;
}

void TabbedWindowController::selectNextTab(QObject *)
{
    if (!documents_.isEmpty())
        activateTab((activeTab() + 1) % int(documents_.size()));
}

void TabbedWindowController::selectPreviousTab(QObject *)
{
    const int count = int(documents_.size());
    if (count > 0)
        activateTab((activeTab() + count - 1) % count);
}

// --- Interface states -----------------------------------------------------------------------------

void TabbedWindowController::setWindowStates(const QByteArray &states, TabbedDocument *document)
{
    if (document)
        windowStates_.insert(document->documentId(), states);
}

QByteArray TabbedWindowController::windowStatesForDocument(TabbedDocument *document) const
{
    return document ? windowStates_.value(document->documentId()) : QByteArray();
}

void TabbedWindowController::removeWindowStatesForDocument(TabbedDocument *document)
{
    if (document)
        windowStates_.remove(document->documentId());
}

void TabbedWindowController::prepareForAppRestoration()
{
    if (activeDocument_)
        setWindowStates(currentInterfaceState(), activeDocument_);
}

QByteArray TabbedWindowController::archiveInterfaceState(const QVariantMap &state)
{
    QByteArray data;
    data.reserve(100);
    QDataStream stream(&data, QIODevice::WriteOnly);
    stream.setVersion(QDataStream::Qt_6_0);
    stream << stateMagic << stateVersion << state;
    return data;
}

std::optional<QVariantMap> TabbedWindowController::unarchiveInterfaceState(const QByteArray &data)
{
    if (data.isEmpty())
        return std::nullopt;
    QDataStream stream(data);
    stream.setVersion(QDataStream::Qt_6_0);
    quint32 magic = 0;
    quint32 version = 0;
    QVariantMap state;
    stream >> magic >> version;
    if (stream.status() != QDataStream::Ok || magic != stateMagic || version != stateVersion)
        return std::nullopt;
    stream >> state;
    if (stream.status() != QDataStream::Ok)
        return std::nullopt;
    return state;
}

// --- Tab bar delegate -------------------------------------------------------------------------------

QString TabbedWindowController::titleForTab(int index) const
{
    if (index < 0 || index >= documents_.size())
        return {};
    const TabbedDocument *document = documents_.at(index);
    const QString context = document->contextDisplayName();
    if (context.isEmpty())
        return editedMark(document) + document->displayName();
    if (!document->filePath().isEmpty())
        return editedMark(document) + QStringLiteral("%1 (%2)").arg(context, document->displayName());
    return editedMark(document) + context;
}

unsigned TabbedWindowController::labelForTab(int index) const
{
    return index >= 0 && index < documents_.size() ? documents_.at(index)->documentLabel() : 0;
}

bool TabbedWindowController::isDirtyForTab(int index) const
{
    return index >= 0 && index < documents_.size() &&
           documents_.at(index)->documentState() == TabbedDocumentStateDirty;
}

bool TabbedWindowController::isBusyForTab(int index) const
{
    return index >= 0 && index < documents_.size() &&
           documents_.at(index)->documentState() == TabbedDocumentStateBusy;
}

bool TabbedWindowController::isAlertForTab(int index) const
{
    return index >= 0 && index < documents_.size() &&
           documents_.at(index)->documentState() == TabbedDocumentStateAlert;
}

bool TabbedWindowController::isSuccessForTab(int index) const
{
    return index >= 0 && index < documents_.size() &&
           documents_.at(index)->documentState() == TabbedDocumentStateSuccess;
}

void TabbedWindowController::moveTabFrom(int from, int to)
{
    const int count = int(documents_.size());
    if (from == to || from < 0 || to < 0 || from >= count || to >= count)
        return;
    documents_.move(from, to);
}

void TabbedWindowController::closeTab(int index)
{
    if (index < 0 || index >= documents_.size())
        return;
    activateTab(index);
    closeDocument(documents_.at(index));
}

void TabbedWindowController::tabShouldBeMovedToOwnWindow(int index)
{
    if (documents_.size() <= 1 || index < 0 || index >= documents_.size())
        return;
    const QByteArray states = currentInterfaceState();
    TabbedDocument *document = documents_.at(index);
    document->removeWindowController(this);
    removeDocument(document);
    document->makeWindowControllers();
    TabbedWindowController *own = document->sharedWindowController();
    if (!own || own == this)
        return;
    AdvancedWindow *window = own->window();
    window->show();
    window->raise();
    window->activateWindow();
    if (const std::optional<QVariantMap> archive = unarchiveInterfaceState(states))
        own->decodeInferfaceState(*archive);
    document->loadDocumentInWindowController(own);
}

void TabbedWindowController::tabShouldBeDroppedToForeignTabBar(TabbarView *tabBar, int position,
                                                               int fromPosition, TabbarView *)
{
    auto *target = tabBar ? dynamic_cast<TabbedWindowController *>(tabBar->delegate()) : nullptr;
    moveDocumentToController(fromPosition, target, position);
}

void TabbedWindowController::moveDocumentToController(int fromIndex, TabbedWindowController *target,
                                                      int position)
{
    if (!target || target == this || fromIndex < 0 || fromIndex >= documents_.size())
        return;
    TabbedDocument *document = documents_.at(fromIndex);
    document->removeWindowController(this);
    prepareForAppRestoration();
    const QByteArray states = windowStatesForDocument(document);
    removeDocument(document);
    document->addWindowController(target);
    target->addDocumentAtPosition(document, position);
    if (!states.isEmpty())
        target->setWindowStates(states, document);
    target->activateDocument(document);
    if (documents_.isEmpty())
        closeEmptyWindow();
}

void TabbedWindowController::tabBarMightReceiveDrop(TabbarView *)
{
    AdvancedWindow *shown = window();
    shown->show();
    shown->raise();
    shown->activateWindow();
}

void TabbedWindowController::tabBarReceivedExternalDrop(const QString &, const QByteArray &) {}

void TabbedWindowController::collectAllTabs(QObject *)
{
    const QList<TabbedWindowController *> others = allWindowControllers();
    for (TabbedWindowController *other : others) {
        if (other == this)
            continue;
        QPointer<TabbedWindowController> guard(other);
        for (qsizetype count = other->documents().size(); count > 0 && guard; --count)
            other->moveDocumentToController(0, this, numberOfTabs());
    }
}

// --- Menus ------------------------------------------------------------------------------------------

QAction *TabbedWindowController::addResponderAction(QMenu *menu, const QString &title, const QString &action,
                                                    const QKeySequence &shortcut)
{
    QAction *item = menu->addAction(title);
    item->setShortcut(shortcut);
    item->setEnabled(CommandRouter::shared().targetForAction(action, window_.get()) != nullptr);
    connect(item, &QAction::triggered, this, [this, item, action] {
        CommandRouter::shared().sendAction(action, item, nullptr, window_.get());
    });
    return item;
}

QMenu *TabbedWindowController::tabWantsContextMenu(int index)
{
    auto *menu = new QMenu(QStringLiteral("TabMenu"));
    menu->setTitle(QStringLiteral("TabMenu"));
    addResponderAction(menu, tabbedText("New Tab"), "newTab:", QKeySequence(Qt::CTRL | Qt::Key_T));
    addResponderAction(menu, tabbedText("Duplicate Tab"),
                       "duplicatieTab:", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_T));
    menu->addSeparator();
    QAction *close = menu->addAction(tabbedText("Close Tab"));
    close->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_W));
    close->setData(index);
    connect(close, &QAction::triggered, this, [this, close] { performCloseTabFromMenu(close); });
    const QList<QAction *> items = createTabMenuItems(index, menu);
    if (!items.isEmpty()) {
        menu->addSeparator();
        menu->addActions(items);
    }
    menu->addSeparator();
    addResponderAction(menu, tabbedText("Collect All Tabs"), "collectAllTabs:", {});
    menu->addSeparator();
    addResponderAction(menu, tabbedText("Tab Preferences"), "runTabPreferences:", {});
    return menu;
}

QList<QAction *> TabbedWindowController::createTabMenuItems(int tab, QMenu *menu)
{
    auto *item = new QAction(tabbedText("Color label"), menu);
    auto *submenu = new QMenu(QStringLiteral("Color label submenu"), menu);
    for (unsigned label = 0; label <= 9; ++label) {
        QAction *choice = submenu->addAction(
            QCoreApplication::translate("connection", qPrintable(Colors::nameKeyForTabLabel(label))));
        if (label > 0)
            choice->setIcon(Tab::imageForLabel(label));
        choice->setData(QVariantMap{{"tab", tab}, {"label", label}});
        connect(choice, &QAction::triggered, this, [this, choice] { changeLabelFromMenu(choice); });
    }
    item->setMenu(submenu);
    return {item};
}

void TabbedWindowController::changeLabelFromMenu(QAction *sender)
{
    const QVariantMap represented = sender->data().toMap();
    const int tab = represented.value("tab").toInt();
    if (tab < 0 || tab >= documents_.size())
        return;
    documents_.at(tab)->setTabLabel(represented.value("label").toUInt());
    documentsUpdated();
}

void TabbedWindowController::performCloseTabFromMenu(QAction *sender)
{
    closeTab(sender->data().toInt());
}

QPixmap TabbedWindowController::imageForLabel(unsigned label)
{
    return Tabbar::imageForLabel(label);
}

// --- Closing ----------------------------------------------------------------------------------------

void TabbedWindowController::closeDocument(TabbedDocument *document)
{
    if (!document)
        return;
    QPointer<TabbedWindowController> guard(this);
    document->canCloseDocumentWithDelegate([guard](TabbedDocument *closing, bool shouldClose) {
        if (guard)
            guard->doCloseDoc(closing, shouldClose);
    });
}

void TabbedWindowController::finishDocumentClose(TabbedDocument *document)
{
    removeDocument(document);
    document->removeWindowController(this);
    document->destroyResources();
    document->close();
}

void TabbedWindowController::doCloseDoc(TabbedDocument *document, bool shouldClose)
{
    if (shouldClose && documents_.contains(document))
        finishDocumentClose(document);
    if (documents_.isEmpty())
        closeEmptyWindow();
}

void TabbedWindowController::performCloseTab()
{
    closeDocument(activeDocument_);
}

void TabbedWindowController::performCloseTab(QObject *)
{
    performCloseTab();
}

void TabbedWindowController::closeAllTabs()
{
    if (documents_.isEmpty()) {
        closeEmptyWindow();
        return;
    }
    if (askingToCloseAll_)
        return; // a tab is being asked already; its answer goes on from there
    askingToCloseAll_ = true;
    QPointer<TabbedWindowController> guard(this);
    documents_.last()->canCloseDocumentWithDelegate([guard](TabbedDocument *closing, bool shouldClose) {
        if (guard)
            guard->doCloseDocForWindow(closing, shouldClose);
    });
}

void TabbedWindowController::doCloseDocForWindow(TabbedDocument *document, bool shouldClose)
{
    askingToCloseAll_ = false;
    if (!shouldClose)
        return;
    if (documents_.contains(document))
        finishDocumentClose(document);
    closeAllTabs();
}

void TabbedWindowController::closeEmptyWindow()
{
    // Closing the window comes back here through windowWillClose: close it once.
    if (windowClosing_)
        return;
    windowClosing_ = true;
    clearControllers();
    activeDocument_ = nullptr;
    if (window_ && window_->isVisible()) {
        window_->closeWindow();
        return;
    }
    emit windowClosed(this);
    deleteLater();
}

void TabbedWindowController::windowWillClose()
{
    qCDebug(lcTabs, "window will close");
    if (!documents_.isEmpty()) {
        closeAllTabs();
        return;
    }
    closeEmptyWindow();
    emit windowClosed(this);
    deleteLater();
}

// --- Window -----------------------------------------------------------------------------------------

QString TabbedWindowController::windowTitleForDocumentDisplayName(const QString &) const
{
    if (!activeDocument_)
        return {};
    const QString context = activeDocument_->contextDisplayName();
    if (context.isEmpty())
        return activeDocument_->displayName();
    return QStringLiteral("%1 (%2)").arg(context, activeDocument_->displayName());
}

void TabbedWindowController::synchronizeWindowTitleWithDocumentName()
{
    if (window_)
        window_->setWindowTitle((activeDocument_ ? editedMark(activeDocument_) : QString()) +
                                windowTitleForDocumentDisplayName({}));
}

void TabbedWindowController::windowDidBecomeMain()
{
    if (activeDocument_)
        activeDocument_->documentTabDidBecomeMain();
}

void TabbedWindowController::windowDidResignMain()
{
    if (activeDocument_)
        activeDocument_->documentTabWillResignMain();
}

void TabbedWindowController::windowDidChangeFullScreen(bool)
{
    if (tabbar_)
        tabbar_->fullScreenStateUpdate();
}

void TabbedWindowController::registerForExternalDragType(const QString &type)
{
    if (tabbar_)
        tabbar_->registerForExternalDragType(type);
}

// --- Hooks --------------------------------------------------------------------------------------------

QToolBar *TabbedWindowController::toolbar()
{
    qCWarning(lcTabs, "TabbedWindowController::toolbar() is not overridden");
    return nullptr;
}

void TabbedWindowController::encodeInferfaceState(QVariantMap &)
{
    qCWarning(lcTabs, "TabbedWindowController::encodeInferfaceState() is not overridden");
}

void TabbedWindowController::decodeInferfaceState(const QVariantMap &)
{
    qCWarning(lcTabs, "TabbedWindowController::decodeInferfaceState() is not overridden");
}

void TabbedWindowController::setDefaultInterfaceState()
{
    qCWarning(lcTabs, "TabbedWindowController::setDefaultInterfaceState() is not overridden");
}

void TabbedWindowController::activeDocumentUpdated(TabbedDocument *)
{
    qCWarning(lcTabs, "TabbedWindowController::activeDocumentUpdated() is not overridden");
}

bool TabbedWindowController::needToolbarUpdate()
{
    qCWarning(lcTabs, "TabbedWindowController::needToolbarUpdate() is not overridden");
    return false;
}

void TabbedWindowController::updateToolbar()
{
    qCWarning(lcTabs, "TabbedWindowController::updateToolbar() is not overridden");
}

void TabbedWindowController::clearControllers()
{
    qCWarning(lcTabs, "TabbedWindowController::clearControllers() is not overridden");
}

TabbarView *TabbedWindowController::createTabbar()
{
    return new Tabbar;
}
