#pragma once

#include "browser/BrowserElementSection.h"
#include "browser/BrowserFoldTimer.h"
#include "browser/BrowserMDUpdateView.h"
#include "browser/BrowserOutlineView.h"
#include "kit/VisualShortcut.h"
#include "platform/NotificationCenter.h"
#include "resultset/Filter.h"
#include "window/PaneViewController.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPointer>
#include <QToolButton>

#include <functional>
#include <memory>
#include <optional>

class BrowserBottomView;
class BrowserController;
class BrowserDefinitionActions;
class BrowserElementStore;
class BrowserHeaderView;
class BrowserOutlineModel;
class QMenu;

// The schema browser pane of a main window: the schema pop-up, the search field, the outline of the
// active element store of one document's BrowserController, and the badge shown while metadata is
// refreshed in the background. It turns clicks, keys, drags and menu choices into requests to that
// controller and decides which of the browser's commands are enabled. One per window; the document
// hands it its controller when its tab becomes active. Main thread only.
class BrowserViewController : public PaneViewController,
                              public DragAndDroppableOutlineViewDelegate,
                              public BrowserOutlineViewDelegate,
                              public VisualShortcutAdopter
{
    Q_OBJECT
public:
    static inline const QString beganDragNotification = QStringLiteral("ResultsetViewController_BeganDrag");
    static inline const QString updatedDragNotification =
        QStringLiteral("ResultsetViewController_UpdatedDrag");
    static inline const QString endedDragNotification = QStringLiteral("ResultsetViewController_EndedDrag");
    static inline const QString visibleRectKey = QStringLiteral("BrowserVisibleRect");
    static constexpr int searchReloadMs = 600;
    static constexpr int foldMs = 3000;
    static constexpr int newMenuTag = 1192991;
    // Extra formats of a browser drag: the SELECT and UPDATE texts of a table or view, so that a drop
    // side may pick by the modifiers held when it drops.
    static inline const QString selectTextType = QStringLiteral("text/x-vorn-select-statement");
    static inline const QString updateTextType = QStringLiteral("text/x-vorn-update-statement");

    // Chooses one of the drop menu's columns at the point; -1 when the menu was dismissed.
    using ColumnChooser = std::function<int(QMenu &menu, QAction *first, const QPoint &globalPosition)>;
    using TimerFactory = std::function<std::unique_ptr<BrowserFoldTimer>()>;

    explicit BrowserViewController(QObject *parent = nullptr);
    BrowserViewController(TimerFactory timers, QObject *parent = nullptr);
    ~BrowserViewController() override;

    BrowserController *browserController() const { return browserController_; }
    void setBrowserController(BrowserController *controller);
    void setDefinitionActions(BrowserDefinitionActions *actions) { definitions_ = actions; }
    void setColumnChooser(ColumnChooser chooser) { columnChooser_ = std::move(chooser); }

    // Told by the document.
    void browserUpdated();
    void browserReset();
    void browserDidUpdate(const std::optional<BrowserElementSectionUpdate> &update);
    void browserMetaDataCheckUpdated();
    void reloadOutlineView();
    // The search field's text went to the store.
    void searchFieldUpdate();

    // The controls, for the window and for tests.
    QComboBox *schemaSelection() const { return schemaSelection_; }
    QLineEdit *searchField() const { return searchField_; }
    BrowserOutlineView *outlineView() const { return outline_; }
    BrowserOutlineModel *outlineModel() const { return model_.get(); }
    BrowserMDUpdateView *browserMDUpdateView() const { return badge_; }
    QToolButton *actionButton() const { return actionButton_; }
    QToolButton *newButton() const { return newButton_; }
    bool foldPending() const { return foldTimer_->isActive(); }
    bool browserInDragMode() const { return inDragMode_; }
    QList<BrowserElementPtr> activeItems() const;

    // Drag and drop.
    FilterPtr filterForElement(const BrowserElementPtr &element, Qt::KeyboardModifiers modifiers) const;
    // The data of a browser drag of the element with the modifiers held.
    QMimeData *pasteboardForElement(const BrowserElementPtr &element, Qt::KeyboardModifiers modifiers) const;
    void resultsetDragBegan(const FilterPtr &filter);
    void resultsetDragEnded();

    // Menus.
    QMenu *generateContextMenu();
    QMenu *generateContextMenu(const BrowserElementPtr &element);
    QMenu *generateNewMenu();
    QMenu *historyMenu(bool back);

    // Commands, found through the window's command router.
    Q_INVOKABLE void schemaSelectionUpdated(QObject *sender);
    Q_INVOKABLE void selectSearchField(QObject *sender);
    Q_INVOKABLE void performFindPanelAction(QObject *sender);
    Q_INVOKABLE void navigateBack(QObject *sender);
    Q_INVOKABLE void navigateForward(QObject *sender);
    Q_INVOKABLE void reloadConnectionInfo(QObject *sender);
    Q_INVOKABLE void commit(QObject *sender);
    Q_INVOKABLE void rollback(QObject *sender);
    Q_INVOKABLE void connect(QObject *sender);
    Q_INVOKABLE void disconnect(QObject *sender);
    Q_INVOKABLE void importDatafile(QObject *sender);
    Q_INVOKABLE void exportData(QObject *sender);
    Q_INVOKABLE void openRecycleBin(QObject *sender);
    Q_INVOKABLE void toggleManagementMode(QObject *sender);
    Q_INVOKABLE void menuInfo(QObject *sender);
    Q_INVOKABLE void contextMenuInfo(QObject *sender);
    Q_INVOKABLE void menuFavourite(QObject *sender);
    Q_INVOKABLE void contextMenuFavourite(QObject *sender);
    Q_INVOKABLE void menuDrop(QObject *sender);
    Q_INVOKABLE void contextMenuDrop(QObject *sender);
    Q_INVOKABLE void menuTruncate(QObject *sender);
    Q_INVOKABLE void contextMenuTruncate(QObject *sender);
    Q_INVOKABLE void contextMenuTab(QObject *sender);
    Q_INVOKABLE void contextMenuWindow(QObject *sender);
    Q_INVOKABLE void contextMenuImport(QObject *sender);
    Q_INVOKABLE void contextMenuExport(QObject *sender);
    Q_INVOKABLE void createNewItem(QObject *sender);
    Q_INVOKABLE void navigateFromMenuBack(QObject *sender);
    Q_INVOKABLE void navigateFromMenuForward(QObject *sender);
    Q_INVOKABLE void menuNothing(QObject *sender);
    Q_INVOKABLE bool validateAction(const QString &action) const;
    Q_INVOKABLE bool validateMenuItem(QAction *item);
    Q_INVOKABLE void showButtonMenuForSelector(const QString &action, QWidget *view, QPoint pressed);
    void favourite(const BrowserElementPtr &element);

    // PaneViewController.
    void encodeInferfaceState(QVariantMap &archive) const override;
    void decodeInferfaceState(const QVariantMap &archive) override;
    void setDefaultInterfaceState() override;
    void detachModel() override;
    // VisualShortcutAdopter.
    QList<VisualShortcut> visualShortcuts() override;

    // DragAndDroppableOutlineViewDelegate.
    DragAndDropItemSource *dragAndDroppableOutlineViewItemFromPasteboard(DragAndDroppableOutlineView *,
                                                                         const QMimeData *data) override;
    void dragAndDroppableOutlineViewNeedsUpdatedPasteboard(DragAndDroppableOutlineView *, QMimeData *data,
                                                           Qt::KeyboardModifiers modifiers) override;
    QMenu *dragAndDroppableOutlineViewNeedsContextMenu(DragAndDroppableOutlineView *,
                                                       const QPoint &position) override;
    // BrowserOutlineViewDelegate.
    bool outlineShouldSelect(const QModelIndex &index) override;
    bool outlineKeyMaySelect(const QModelIndex &index) override;
    bool outlineUpArrowLeavesAt(const QModelIndex &section) override;
    void outlineModifiedClick(const QModelIndex &index, Qt::KeyboardModifiers modifiers) override;
    bool outlineValidateDrop(const QMimeData *data, const QModelIndex &target) override;
    bool outlineAcceptDrop(const QMimeData *data, const QModelIndex &target, const QPoint &position,
                           Qt::KeyboardModifiers modifiers) override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildView();
    BrowserElementStore *activeStore() const;
    BrowserElementStore *dataStore() const;
    BrowserElementPtr selectedDataElement() const;
    static BrowserElementPtr representedElement(QObject *sender);
    QModelIndex rowOfStoreSelection() const;
    void selectStoreSelection();
    void scrollSelectionIntoView();
    void updateBadge(bool animated);
    void fillSchemaSelection();
    void sectionExpansionChanged(const QModelIndex &index, bool expanded);
    void selectionChanged();
    void searchFieldMoveDown();
    bool temporaryHideFavouritesAndRecents();
    void foldFavouritesAndRecents();
    void endFold(bool animated);
    bool skipFavourites() const;
    void addContextMenuItems(QMenu &menu, const BrowserElementPtr &element);
    QAction *addCommandItem(QMenu &menu, const QString &title, const char *action,
                            const BrowserElementPtr &element, bool enabled = true);
    void observeGridDrags();

    BrowserController *browserController_ = nullptr;
    BrowserDefinitionActions *definitions_ = nullptr;
    std::unique_ptr<BrowserOutlineModel> model_;
    QPointer<BrowserHeaderView> header_;
    QPointer<BrowserBottomView> bottom_;
    QPointer<QComboBox> schemaSelection_;
    QPointer<QLineEdit> searchField_;
    QPointer<BrowserOutlineView> outline_;
    QPointer<BrowserMDUpdateView> badge_;
    QPointer<QToolButton> actionButton_;
    QPointer<QToolButton> newButton_;
    TimerFactory timers_;
    std::unique_ptr<BrowserFoldTimer> foldTimer_;
    std::unique_ptr<BrowserFoldTimer> reloadTimer_;
    bool foldedFavourites_ = false;
    bool foldedRecents_ = false;
    bool inDragMode_ = false;
    BrowserElementPtr dragModeElement_;
    QString dragModeColumn_;
    bool resetting_ = false;
    ColumnChooser columnChooser_;
    QList<NotificationCenter::ObserverId> observers_;
};
