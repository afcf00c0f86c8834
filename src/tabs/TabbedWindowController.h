#pragma once

#include "kit/AdvancedWindow.h"
#include "tabs/TabbarDelegate.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QVariantMap>

#include <memory>
#include <optional>

class QAction;
class QMenu;
class QToolBar;
class TabbarView;
class TabbedDocument;

// Holds several documents as the tabs of one window. Keeps the tab order and the active tab, and on
// every switch archives the window's interface state (and remembers the focus) for the tab that goes
// to the back, restoring both for the tab that comes to the front. Answers the tab bar, closes tabs
// through each document's closing checks and closes its window when the last tab has gone; the
// controller deletes itself once its window has closed. It is its window's responder for the
// command router, and the active tab's document follows it in the chain.
// Subclasses supply the panes (built into mainContent in windowDidLoad), the toolbar and the
// interface-state archiving through the hooks below.
class TabbedWindowController : public QObject, public TabbarDelegate, public AdvancedWindowDelegate
{
    Q_OBJECT
public:
    explicit TabbedWindowController(QObject *parent = nullptr);
    ~TabbedWindowController() override;

    // Every live controller, oldest first (the application's window list order).
    static QList<TabbedWindowController *> allWindowControllers();

    // The window is made on first use (or by loadWindow): the tab bar above mainContent.
    AdvancedWindow *window();
    bool isWindowLoaded() const { return window_ != nullptr; }
    void loadWindow();
    QWidget *mainContent() const { return mainContent_; }
    TabbarView *tabbar() const { return tabbar_; }

    // Tab list.
    const QList<TabbedDocument *> &documents() const { return documents_; }
    TabbedDocument *activeDocument() const { return activeDocument_; }
    TabbedDocument *document() const { return activeDocument_; }
    void addDocument(TabbedDocument *document, bool nextToActive);
    void addDocumentAtPosition(TabbedDocument *document, int position);
    void removeDocument(TabbedDocument *document);
    void documentsUpdated();
    void documentStatusUpdated(TabbedDocument *document);
    void documentUpdated(TabbedDocument *document) { documentStatusUpdated(document); }

    // Activation.
    void activateDocument(TabbedDocument *document);
    // Menu commands, reached through the command router.
    Q_INVOKABLE void selectNextTab(QObject *sender = nullptr);
    Q_INVOKABLE void selectPreviousTab(QObject *sender = nullptr);

    // Interface states of the tabs, archived.
    void setWindowStates(const QByteArray &states, TabbedDocument *document);
    QByteArray windowStatesForDocument(TabbedDocument *document) const;
    void removeWindowStatesForDocument(TabbedDocument *document);
    const QHash<quint64, QByteArray> &windowStatesForDocuments() const { return windowStates_; }
    const QHash<quint64, QPointer<QWidget>> &firstRespondersForDocuments() const { return firstResponders_; }
    // Stores the state now on screen for the active tab (before restoration data is written, and
    // before a tab leaves for another window).
    void prepareForAppRestoration();
    static QByteArray archiveInterfaceState(const QVariantMap &state);
    // Nothing for data that is not an archive of ours.
    static std::optional<QVariantMap> unarchiveInterfaceState(const QByteArray &data);

    // TabbarDelegate.
    int numberOfTabs() const override { return int(documents_.size()); }
    void activateTab(int index) override;
    int activeTab() const override;
    QString titleForTab(int index) const override;
    unsigned labelForTab(int index) const override;
    bool isDirtyForTab(int index) const override;
    bool isBusyForTab(int index) const override;
    bool isAlertForTab(int index) const override;
    bool isSuccessForTab(int index) const override;
    void moveTabFrom(int from, int to) override;
    void closeTab(int index) override;
    void tabShouldBeMovedToOwnWindow(int index) override;
    void tabShouldBeDroppedToForeignTabBar(TabbarView *tabBar, int position, int fromPosition,
                                           TabbarView *ofTabBar) override;
    void tabBarMightReceiveDrop(TabbarView *tabBar) override;
    void tabBarReceivedExternalDrop(const QString &type, const QByteArray &data) override;
    QMenu *tabWantsContextMenu(int index) override;

    // Moves the document at fromIndex into another window at position, with its interface state; this
    // window closes when it is left without tabs.
    void moveDocumentToController(int fromIndex, TabbedWindowController *target, int position);
    Q_INVOKABLE void collectAllTabs(QObject *sender = nullptr);

    // Menus and labels. The items are parented to the given menu.
    virtual QList<QAction *> createTabMenuItems(int tab, QMenu *menu);
    void changeLabelFromMenu(QAction *sender);
    void performCloseTabFromMenu(QAction *sender);
    static QPixmap imageForLabel(unsigned label);

    // Closing.
    void closeDocument(TabbedDocument *document);
    void doCloseDoc(TabbedDocument *document, bool shouldClose);
    void doCloseDocForWindow(TabbedDocument *document, bool shouldClose);
    void performCloseTab() override;
    Q_INVOKABLE void performCloseTab(QObject *sender);
    void closeAllTabs() override;
    void windowWillClose() override;

    // Window.
    QString windowTitleForDocumentDisplayName(const QString &displayName) const;
    void synchronizeWindowTitleWithDocumentName();
    void windowDidBecomeMain() override;
    void windowDidResignMain() override;
    void windowDidChangeFullScreen(bool isFullScreen) override;
    virtual void hideOrShowTabbar() {}
    void registerForExternalDragType(const QString &type);

    // Hooks of the subclass.
    virtual QToolBar *toolbar();
    virtual void encodeInferfaceState(QVariantMap &archive);
    virtual void decodeInferfaceState(const QVariantMap &archive);
    virtual void setDefaultInterfaceState();
    virtual void activeDocumentUpdated(TabbedDocument *activeDocument);
    virtual bool needToolbarUpdate();
    virtual void updateToolbar();
    virtual void clearControllers();
    // The tab bar of a new window.
    virtual TabbarView *createTabbar();
    // The window exists: build the panes into mainContent.
    virtual void windowDidLoad() {}

signals:
    // The window has closed; the controller is deleted right after.
    void windowClosed(TabbedWindowController *controller);

private:
    bool isMainWindow() const;
    void sendBackActiveDocument(bool storeState);
    void bringForward(TabbedDocument *document);
    QByteArray currentInterfaceState();
    void finishDocumentClose(TabbedDocument *document);
    void closeEmptyWindow();
    void installToolbar(QToolBar *toolbar);
    QAction *addResponderAction(QMenu *menu, const QString &title, const QString &action,
                                const QKeySequence &shortcut);

    std::unique_ptr<AdvancedWindow> window_;
    QPointer<QWidget> mainContent_;
    TabbarView *tabbar_ = nullptr;
    QPointer<QToolBar> currentToolbar_;
    QList<TabbedDocument *> documents_;
    TabbedDocument *activeDocument_ = nullptr;
    QHash<quint64, QByteArray> windowStates_;
    QHash<quint64, QPointer<QWidget>> firstResponders_;
    bool askingToCloseAll_ = false;
    bool windowClosing_ = false;
};
