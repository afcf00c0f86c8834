#pragma once

#include "platform/NotificationCenter.h"
#include "tabs/TabbedWindowController.h"
#include "window/ContentPane.h"

#include <QPointer>

#include <functional>
#include <memory>
#include <optional>

class ContentSplitView;
class EmptyViewController;
class FeaturedToolbar;
class MainSplitView;
class MainWindowDocument;
class NotSupportedViewController;
class PaneViewController;
class SimpleActionViewController;
class SimpleTextViewController;
class SplitViewController;
class ToolbarController;

// The main window: schema browser, centre and info column side by side; in the centre the SQL
// editor, the content pane and the execution log stacked. All tabs share the panes; the active
// document fills them. Switches the content pane when the document asks, keeps the pane buttons
// and the View menu in step with the split views, builds the toolbar from the document's
// features and adds the tab title submenu to the tab menu. Main thread only.
class VornTabbedWindowController : public TabbedWindowController
{
    Q_OBJECT
public:
    // Panes whose controllers come from other parts of the program. Until one registers a
    // maker, a placeholder stands in.
    enum class Pane { Browser, Resultset, InfoColumn, Logger, SqlEditor, Analyser, ProcedureEditor, Status };
    using PaneMaker = std::function<std::unique_ptr<PaneViewController>()>;
    static void setPaneMaker(Pane pane, PaneMaker maker);
    // Receives the bytes of a filter item dropped on the tab bar, with the window's controller.
    using FilterDropHandler = std::function<void(const QByteArray &filterData, VornTabbedWindowController *)>;
    static void setFilterDropHandler(FilterDropHandler handler);
    static inline const QString FilterItemType = QStringLiteral("com.ostrel.apps.vorn.filter-item");

    explicit VornTabbedWindowController(QObject *parent = nullptr);
    ~VornTabbedWindowController() override;

    MainWindowDocument *activeMainDocument() const;
    PaneViewController *pane(Pane which) const;
    EmptyViewController *emptyViewController() const { return empty_.get(); }
    NotSupportedViewController *notSupportedViewController() const { return notSupported_.get(); }
    SimpleTextViewController *simpleTextViewController() const { return simpleText_.get(); }
    SimpleActionViewController *simpleActionViewController() const { return simpleAction_.get(); }
    SplitViewController *splitViewController() const { return splitViewController_.get(); }
    ToolbarController *toolbarController() const { return toolbarController_.get(); }
    MainSplitView *mainSplitView() const;
    ContentSplitView *contentSplitView() const;

    // Content pane, by the document's active-content code (0 empty, 1 result grid, 2 analyser,
    // 3 read-only text, 4 text and button, 5 procedure editor, 9 busy, -1 not supported).
    void setEmptyView();
    void setResultsetView();
    void setNotSupportedView();
    void setSimpleTextView();
    void setSimpleActionView();
    void setAnalyserView();
    void setProcedureView();
    void setBusyView();
    void showContent(ContentPane pane);

    // Shows the SQL editor if it is hidden, then hands it the text.
    void insertText(const QString &text);
    void synchronizeViewButtons();
    // Retitles the pane and toolbar toggles of the View menu; always usable.
    Q_INVOKABLE bool validateMenuItem(QAction *item) const;
    void changeTitleFromMenu(QAction *sender);

    // Sheets and assistants the window holds for its documents; their controllers come from
    // other parts of the program, which register how to make them.
    enum class Sheet { Import, Export, RecycleBin, ConnectionDetails };
    using SheetMaker = std::function<std::unique_ptr<QObject>(VornTabbedWindowController *)>;
    static void setSheetMaker(Sheet sheet, SheetMaker maker);
    // Import and export controllers live from their create to their destroy call.
    QObject *createImportViewController();
    QObject *currentImportViewController() const { return sheets_[size_t(Sheet::Import)].get(); }
    void destroyImportViewController();
    QObject *createExportViewController();
    QObject *currentExportViewController() const { return sheets_[size_t(Sheet::Export)].get(); }
    void destroyExportViewController();
    QObject *sharedExportViewController();
    // Made on first use, then kept.
    QObject *sharedRecycleBinViewController();
    QObject *sharedConnectionDetailsViewController();

    // Window placement: the width a new window takes on a screen, and where it cascades to from
    // the other document windows (none: centre it), kept on the screen's available area.
    static int adjustedWindowWidth(int screenWidth, int windowWidth);
    static std::optional<QPoint> cascadeTopLeft(const QList<QRect> &otherDocumentWindows, const QSize &size,
                                                const QRect &available);

    // TabbedWindowController hooks.
    QToolBar *toolbar() override;
    void encodeInferfaceState(QVariantMap &archive) override;
    void decodeInferfaceState(const QVariantMap &archive) override;
    void setDefaultInterfaceState() override;
    void activeDocumentUpdated(TabbedDocument *activeDocument) override;
    bool needToolbarUpdate() override;
    void updateToolbar() override;
    void clearControllers() override;
    QList<QAction *> createTabMenuItems(int tab, QMenu *menu) override;
    void tabBarReceivedExternalDrop(const QString &type, const QByteArray &data) override;
    void windowDidLoad() override;

public slots:
    void toggleMainLeftView(QObject *sender);
    void toggleMainRightView(QObject *sender);
    void toggleContentUpperView(QObject *sender);
    void toggleContentLowerView(QObject *sender);
    void enableContentUpperView(QObject *sender);
    void toggleSplitViews(QObject *sender);
    void toggleToolbarShown(QObject *sender);

private:
    QList<PaneViewController *> stateKeepingPanes() const;
    void placeWindow();
    void setResponderChain(QObject *afterBrowser);
    void refreshToolbar();
    QObject *makeSheet(Sheet sheet);

    std::unique_ptr<ToolbarController> toolbarController_;
    std::unique_ptr<SplitViewController> splitViewController_;
    std::unique_ptr<PaneViewController> panes_[8];
    std::unique_ptr<EmptyViewController> empty_;
    std::unique_ptr<NotSupportedViewController> notSupported_;
    std::unique_ptr<SimpleTextViewController> simpleText_;
    std::unique_ptr<SimpleActionViewController> simpleAction_;
    std::unique_ptr<QObject> sheets_[4];
    QPointer<QWidget> busyView_;
    NotificationCenter::ObserverId infoVisibleObserver_ = 0;
    NotificationCenter::ObserverId splitUpdatesObserver_ = 0;
};
