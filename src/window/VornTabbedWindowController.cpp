#include "window/VornTabbedWindowController.h"

#include "kit/ColoredView.h"
#include "kit/CommandRouter.h"
#include "window/ContentSplitView.h"
#include "window/EmptyViewController.h"
#include "window/FeaturedToolbar.h"
#include "window/MainSplitView.h"
#include "window/MainWindowDocument.h"
#include "window/NotSupportedViewController.h"
#include "window/PlaceholderPaneViewController.h"
#include "window/SimpleActionViewController.h"
#include "window/SimpleTextViewController.h"
#include "window/SplitViewController.h"
#include "window/ToolbarController.h"
#include "window/ToolbarItemAdjustableLayout.h"

#include <QAbstractButton>
#include <QAction>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QMenu>
#include <QScreen>
#include <QVBoxLayout>

namespace
{

constexpr int PaneCount = 8;

std::array<VornTabbedWindowController::PaneMaker, PaneCount> &paneMakers()
{
    static std::array<VornTabbedWindowController::PaneMaker, PaneCount> makers;
    return makers;
}

VornTabbedWindowController::FilterDropHandler &filterDropHandler()
{
    static VornTabbedWindowController::FilterDropHandler handler;
    return handler;
}

std::array<VornTabbedWindowController::SheetMaker, 4> &sheetMakers()
{
    static std::array<VornTabbedWindowController::SheetMaker, 4> makers;
    return makers;
}

const char *paneName(VornTabbedWindowController::Pane pane)
{
    using Pane = VornTabbedWindowController::Pane;
    switch (pane) {
    case Pane::Browser:
        return QT_TRANSLATE_NOOP("window", "Schema browser");
    case Pane::Resultset:
        return QT_TRANSLATE_NOOP("window", "Result grid");
    case Pane::InfoColumn:
        return QT_TRANSLATE_NOOP("window", "Inspector");
    case Pane::Logger:
        return QT_TRANSLATE_NOOP("window", "Execution log");
    case Pane::SqlEditor:
        return QT_TRANSLATE_NOOP("window", "SQL editor");
    case Pane::Analyser:
        return QT_TRANSLATE_NOOP("window", "Analyser");
    case Pane::ProcedureEditor:
        return QT_TRANSLATE_NOOP("window", "Procedure editor");
    case Pane::Status:
        return QT_TRANSLATE_NOOP("window", "Status");
    }
    return "";
}

QString menuText(const char *text)
{
    return QCoreApplication::translate("menu", text);
}

constexpr int DefaultWindowWidth = 1000;
constexpr int DefaultWindowHeight = 700;
constexpr int WideScreen = 1280;
constexpr int WideWindowWidth = 1100;
constexpr int CascadeRight = 20;
constexpr int CascadeUp = 36;
constexpr int StatusBarHeight = 24;

} // namespace

void VornTabbedWindowController::setPaneMaker(Pane pane, PaneMaker maker)
{
    paneMakers()[size_t(pane)] = std::move(maker);
}

void VornTabbedWindowController::setFilterDropHandler(FilterDropHandler handler)
{
    filterDropHandler() = std::move(handler);
}

void VornTabbedWindowController::setSheetMaker(Sheet sheet, SheetMaker maker)
{
    sheetMakers()[size_t(sheet)] = std::move(maker);
}

VornTabbedWindowController::VornTabbedWindowController(QObject *parent)
    : TabbedWindowController(parent), toolbarController_(std::make_unique<ToolbarController>()),
      splitViewController_(std::make_unique<SplitViewController>())
{
}

VornTabbedWindowController::~VornTabbedWindowController()
{
    NotificationCenter::defaultCenter().removeObserver(infoVisibleObserver_);
    NotificationCenter::defaultCenter().removeObserver(splitUpdatesObserver_);
}

MainWindowDocument *VornTabbedWindowController::activeMainDocument() const
{
    return qobject_cast<MainWindowDocument *>(activeDocument());
}

PaneViewController *VornTabbedWindowController::pane(Pane which) const
{
    return panes_[size_t(which)].get();
}

MainSplitView *VornTabbedWindowController::mainSplitView() const
{
    return splitViewController_->mainSplitView();
}

ContentSplitView *VornTabbedWindowController::contentSplitView() const
{
    return splitViewController_->contentSplitView();
}

void VornTabbedWindowController::windowDidLoad()
{
    for (int i = 0; i < PaneCount; ++i) {
        const PaneMaker &maker = paneMakers()[size_t(i)];
        panes_[i] = maker ? maker() : nullptr;
        if (!panes_[i])
            panes_[i] = std::make_unique<PlaceholderPaneViewController>(
                QCoreApplication::translate("window", paneName(Pane(i))));
    }
    empty_ = std::make_unique<EmptyViewController>();
    notSupported_ = std::make_unique<NotSupportedViewController>();
    simpleText_ = std::make_unique<SimpleTextViewController>();
    simpleAction_ = std::make_unique<SimpleActionViewController>();

    auto *main = new MainSplitView;
    auto *content = new ContentSplitView;
    main->setView(pane(Pane::Browser)->view(), 0);
    main->setView(content, 1);
    main->setView(pane(Pane::InfoColumn)->view(), 2);
    content->setView(pane(Pane::SqlEditor)->view(), 0);
    content->setView(pane(Pane::Logger)->view(), 2);
    empty_->followSqlEditor(pane(Pane::SqlEditor)->view());
    splitViewController_->setMainSplitView(main);
    splitViewController_->setContentSplitView(content);
    QWidget *status = pane(Pane::Status)->view();
    status->setFixedHeight(StatusBarHeight);
    auto *layout = new QVBoxLayout(mainContent());
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(main, 1);
    layout->addWidget(status);

    infoVisibleObserver_ = NotificationCenter::defaultCenter().addObserver(
        "MainSplitViewBBecameVisible", nullptr,
        [this](const Notification &) { pane(Pane::InfoColumn)->paneBecameVisible(); });
    splitUpdatesObserver_ = NotificationCenter::defaultCenter().addObserver(
        "SplitViewUpdates", nullptr, [this](const Notification &) { synchronizeViewButtons(); });

    auto *blank = new QWidget;
    blank->resize(10, 10);
    splitViewController_->setContentView(blank);
    setResponderChain(nullptr);
    window()->resize(DefaultWindowWidth, DefaultWindowHeight);
    placeWindow();
    setDefaultInterfaceState();
    registerForExternalDragType(FilterItemType);
}

// Window controller -> SQL editor -> info column -> browser [-> what follows the browser].
void VornTabbedWindowController::setResponderChain(QObject *afterBrowser)
{
    CommandRouter &router = CommandRouter::shared();
    router.setNextResponder(this, pane(Pane::SqlEditor));
    router.setNextResponder(pane(Pane::SqlEditor), pane(Pane::InfoColumn));
    router.setNextResponder(pane(Pane::InfoColumn), pane(Pane::Browser));
    router.setNextResponder(pane(Pane::Browser), afterBrowser);
}

int VornTabbedWindowController::adjustedWindowWidth(int screenWidth, int windowWidth)
{
    return screenWidth >= WideScreen && windowWidth == DefaultWindowWidth ? WideWindowWidth : windowWidth;
}

std::optional<QPoint> VornTabbedWindowController::cascadeTopLeft(const QList<QRect> &others,
                                                                 const QSize &size, const QRect &available)
{
    if (others.isEmpty())
        return std::nullopt;
    // The rightmost left edge and the lowest bottom edge of the other windows.
    int x = others.first().x();
    int bottom = others.first().bottom();
    for (const QRect &r : others) {
        x = std::max(x, r.x());
        bottom = std::max(bottom, r.bottom());
    }
    if (x == 0)
        return std::nullopt;
    // Cascading up from the lowest window would put a tall window's title bar above the screen, out of
    // the user's reach: the window stays on the available area, its top-left corner first.
    const int left =
        std::max(available.left(), std::min(x + CascadeRight, available.right() - size.width() + 1));
    const int top = std::max(available.top(), std::min(bottom - CascadeUp - size.height() + 1,
                                                       available.bottom() - size.height() + 1));
    return QPoint(left, top);
}

void VornTabbedWindowController::placeWindow()
{
    QWidget *w = window();
    QScreen *screen = w->screen() ? w->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect available = screen->availableGeometry();
    w->resize(adjustedWindowWidth(available.width(), w->width()), w->height());
    QList<QRect> others;
    for (TabbedWindowController *controller : TabbedWindowController::allWindowControllers()) {
        if (controller != this && controller->activeDocument() && controller->isWindowLoaded())
            others << controller->window()->frameGeometry();
    }
    const std::optional<QPoint> cascaded = cascadeTopLeft(others, w->frameGeometry().size(), available);
    w->move(cascaded ? *cascaded : available.center() - QPoint(w->width() / 2, w->height() / 2));
}

// --- Content pane ---------------------------------------------------------------------------

void VornTabbedWindowController::setEmptyView()
{
    splitViewController_->setContentView(empty_->view());
}

void VornTabbedWindowController::setResultsetView()
{
    splitViewController_->setContentView(pane(Pane::Resultset)->view());
    setResponderChain(pane(Pane::Resultset));
}

void VornTabbedWindowController::setNotSupportedView()
{
    splitViewController_->setContentView(notSupported_->view());
}

void VornTabbedWindowController::setSimpleTextView()
{
    splitViewController_->setContentView(simpleText_->view());
}

void VornTabbedWindowController::setSimpleActionView()
{
    splitViewController_->setContentView(simpleAction_->view());
}

void VornTabbedWindowController::setAnalyserView()
{
    splitViewController_->setContentView(pane(Pane::Analyser)->view());
}

void VornTabbedWindowController::setProcedureView()
{
    splitViewController_->setContentView(pane(Pane::ProcedureEditor)->view());
    setResponderChain(pane(Pane::ProcedureEditor));
}

void VornTabbedWindowController::setBusyView()
{
    QPointer<QWidget> previous = busyView_;
    auto *busy = new ColoredView;
    busy->setColor(Qt::white);
    busy->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    busyView_ = busy;
    splitViewController_->setContentView(busy);
    // A busy view is made for one showing only.
    if (previous)
        previous->deleteLater();
}

void VornTabbedWindowController::showContent(ContentPane pane)
{
    switch (pane) {
    case ContentPane::Nothing:
        setEmptyView();
        break;
    case ContentPane::Resultset:
        setResultsetView();
        break;
    case ContentPane::Analyser:
        setAnalyserView();
        break;
    case ContentPane::SimpleText:
        setSimpleTextView();
        break;
    case ContentPane::SimpleAction:
        setSimpleActionView();
        break;
    case ContentPane::Procedure:
        setProcedureView();
        break;
    case ContentPane::Busy:
        setBusyView();
        break;
    case ContentPane::NotSupported:
        setNotSupportedView();
        break;
    }
}

// --- Pane visibility ------------------------------------------------------------------------

void VornTabbedWindowController::toggleMainLeftView(QObject *)
{
    mainSplitView()->setViewAEnabled(!mainSplitView()->viewAEnabled());
}

void VornTabbedWindowController::toggleMainRightView(QObject *)
{
    mainSplitView()->setViewBEnabled(!mainSplitView()->viewBEnabled());
}

void VornTabbedWindowController::toggleContentUpperView(QObject *)
{
    contentSplitView()->setViewAEnabled(!contentSplitView()->viewAEnabled());
}

void VornTabbedWindowController::toggleContentLowerView(QObject *)
{
    contentSplitView()->setViewBEnabled(!contentSplitView()->viewBEnabled());
}

void VornTabbedWindowController::enableContentUpperView(QObject *)
{
    contentSplitView()->setViewAEnabled(true, false);
}

void VornTabbedWindowController::toggleSplitViews(QObject *sender)
{
    auto *button = qobject_cast<QAbstractButton *>(sender);
    if (!button)
        return;
    const bool on = button->isChecked();
    if (button == toolbarController_->leftPaneButton())
        mainSplitView()->setViewAEnabled(on);
    else if (button == toolbarController_->rightPaneButton())
        mainSplitView()->setViewBEnabled(on);
    else if (button == toolbarController_->topPaneButton())
        contentSplitView()->setViewAEnabled(on);
    else if (button == toolbarController_->bottomPaneButton())
        contentSplitView()->setViewBEnabled(on);
    synchronizeViewButtons();
}

void VornTabbedWindowController::toggleToolbarShown(QObject *)
{
    if (FeaturedToolbar *bar = toolbarController_->toolbar())
        bar->setHidden(!bar->isHidden());
}

void VornTabbedWindowController::synchronizeViewButtons()
{
    if (!mainSplitView())
        return;
    const std::pair<QAbstractButton *, bool> states[] = {
        {toolbarController_->leftPaneButton(), mainSplitView()->viewAEnabled()},
        {toolbarController_->rightPaneButton(), mainSplitView()->viewBEnabled()},
        {toolbarController_->bottomPaneButton(), contentSplitView()->viewBEnabled()},
        {toolbarController_->topPaneButton(), contentSplitView()->viewAEnabled()},
    };
    for (const auto &[button, enabled] : states) {
        if (button)
            button->setChecked(enabled);
    }
}

void VornTabbedWindowController::insertText(const QString &text)
{
    if (!contentSplitView()->viewAEnabled())
        contentSplitView()->setViewAEnabled(true);
    QObject *editor = pane(Pane::SqlEditor);
    if (editor->metaObject()->indexOfMethod("insertQueryNearCursor(QString)") >= 0)
        QMetaObject::invokeMethod(editor, "insertQueryNearCursor", Q_ARG(QString, text));
}

bool VornTabbedWindowController::validateMenuItem(QAction *item) const
{
    const QString action = item->property("vornAction").toString();
    struct Toggle {
        const char *action;
        bool enabled;
        const char *hide;
        const char *show;
    };
    const Toggle toggles[] = {
        {"toggleMainLeftView:", mainSplitView()->viewAEnabled(),
         QT_TRANSLATE_NOOP("menu", "Hide Browser Panel"), QT_TRANSLATE_NOOP("menu", "Show Browser Panel")},
        {"toggleMainRightView:", mainSplitView()->viewBEnabled(),
         QT_TRANSLATE_NOOP("menu", "Hide Inspector Panel"),
         QT_TRANSLATE_NOOP("menu", "Show Inspector Panel")},
        {"toggleContentUpperView:", contentSplitView()->viewAEnabled(),
         QT_TRANSLATE_NOOP("menu", "Hide SQL Editor"), QT_TRANSLATE_NOOP("menu", "Show SQL Editor")},
        {"toggleContentLowerView:", contentSplitView()->viewBEnabled(),
         QT_TRANSLATE_NOOP("menu", "Hide Execution Log"), QT_TRANSLATE_NOOP("menu", "Show Execution Log")},
    };
    for (const Toggle &t : toggles) {
        if (action == QLatin1String(t.action))
            item->setText(menuText(t.enabled ? t.hide : t.show));
    }
    if (action == QLatin1String("toggleToolbarShown:")) {
        const FeaturedToolbar *bar = toolbarController_->toolbar();
        item->setText(bar && !bar->isHidden() ? menuText("Hide Toolbar") : menuText("Show Toolbar"));
    }
    return true;
}

// --- Tabs -------------------------------------------------------------------------------------

QList<QAction *> VornTabbedWindowController::createTabMenuItems(int tab, QMenu *menu)
{
    if (tab < 0 || tab >= documents().size())
        return {};
    QList<QAction *> items = TabbedWindowController::createTabMenuItems(tab, menu);
    auto *title = new QAction(menuText("Title"), menu);
    auto *submenu = new QMenu(QStringLiteral("titleSubmenu"), menu);
    const auto *document = qobject_cast<MainWindowDocument *>(documents().at(tab));
    const char *names[] = {QT_TRANSLATE_NOOP("menu", "Name of selected element"),
                           QT_TRANSLATE_NOOP("menu", "Name of document"),
                           QT_TRANSLATE_NOOP("menu", "Name of the connection")};
    for (int format = 0; format < 3; ++format) {
        QAction *choice = submenu->addAction(menuText(names[format]));
        choice->setCheckable(true);
        choice->setChecked(document && document->tabTitleFormat() == format);
        choice->setData(QVariantMap{{"tab", uint(tab)}, {"tabTitleFormat", format}});
        connect(choice, &QAction::triggered, this, [this, choice] { changeTitleFromMenu(choice); });
    }
    title->setMenu(submenu);
    items << title;
    return items;
}

void VornTabbedWindowController::changeTitleFromMenu(QAction *sender)
{
    const QVariantMap represented = sender->data().toMap();
    const int tab = represented.value("tab").toInt();
    if (tab < 0 || tab >= documents().size())
        return;
    if (auto *document = qobject_cast<MainWindowDocument *>(documents().at(tab)))
        document->setTabTitleFormat(represented.value("tabTitleFormat").toInt());
    documentsUpdated();
}

void VornTabbedWindowController::tabBarReceivedExternalDrop(const QString &type, const QByteArray &data)
{
    if (type == FilterItemType && filterDropHandler())
        filterDropHandler()(data, this);
}

QObject *VornTabbedWindowController::makeSheet(Sheet sheet)
{
    std::unique_ptr<QObject> &slot = sheets_[size_t(sheet)];
    if (!slot && sheetMakers()[size_t(sheet)])
        slot = sheetMakers()[size_t(sheet)](this);
    return slot.get();
}

QObject *VornTabbedWindowController::createImportViewController()
{
    Q_ASSERT_X(!currentImportViewController(), "createImportViewController",
               "Must destroy importviewcontroller before creating a new one");
    return makeSheet(Sheet::Import);
}

void VornTabbedWindowController::destroyImportViewController()
{
    Q_ASSERT_X(currentImportViewController(), "destroyImportViewController",
               "Must create importviewcontroller before destroying it");
    sheets_[size_t(Sheet::Import)].reset();
}

QObject *VornTabbedWindowController::createExportViewController()
{
    Q_ASSERT_X(!currentExportViewController(), "createExportViewController",
               "Must destroy Exportviewcontroller before creating a new one");
    return makeSheet(Sheet::Export);
}

void VornTabbedWindowController::destroyExportViewController()
{
    Q_ASSERT_X(currentExportViewController(), "destroyExportViewController",
               "Must create Exportviewcontroller before destroying it");
    sheets_[size_t(Sheet::Export)].reset();
}

QObject *VornTabbedWindowController::sharedExportViewController()
{
    return makeSheet(Sheet::Export);
}

QObject *VornTabbedWindowController::sharedRecycleBinViewController()
{
    return makeSheet(Sheet::RecycleBin);
}

QObject *VornTabbedWindowController::sharedConnectionDetailsViewController()
{
    return makeSheet(Sheet::ConnectionDetails);
}

// --- Interface state and toolbar ------------------------------------------------------------

QList<PaneViewController *> VornTabbedWindowController::stateKeepingPanes() const
{
    return {pane(Pane::Browser),  pane(Pane::Resultset),       pane(Pane::InfoColumn), pane(Pane::SqlEditor),
            pane(Pane::Analyser), pane(Pane::ProcedureEditor), pane(Pane::Logger)};
}

void VornTabbedWindowController::encodeInferfaceState(QVariantMap &archive)
{
    if (!mainSplitView())
        return;
    splitViewController_->encodeInferfaceState(archive);
    for (PaneViewController *p : stateKeepingPanes())
        p->encodeInferfaceState(archive);
}

void VornTabbedWindowController::decodeInferfaceState(const QVariantMap &archive)
{
    if (!mainSplitView())
        return;
    synchronizeViewButtons();
    splitViewController_->decodeInferfaceState(archive);
    for (PaneViewController *p : stateKeepingPanes())
        p->decodeInferfaceState(archive);
}

void VornTabbedWindowController::setDefaultInterfaceState()
{
    if (!mainSplitView())
        return;
    splitViewController_->setDefaultInterfaceState();
    for (PaneViewController *p : stateKeepingPanes())
        p->setDefaultInterfaceState();
    setEmptyView();
    synchronizeViewButtons();
}

void VornTabbedWindowController::activeDocumentUpdated(TabbedDocument *)
{
    refreshToolbar();
}

void VornTabbedWindowController::refreshToolbar()
{
    if (needToolbarUpdate())
        toolbar();
    updateToolbar();
}

QToolBar *VornTabbedWindowController::toolbar()
{
    const FeaturedToolbar *existing = toolbarController_->toolbar();
    const MainWindowDocument *document = activeMainDocument();
    const qint64 features = document ? document->toolbarFeatures() : existing ? existing->features() : 0;
    return toolbarController_->toolbarWithFeatures(features);
}

bool VornTabbedWindowController::needToolbarUpdate()
{
    const MainWindowDocument *document = activeMainDocument();
    const FeaturedToolbar *existing = toolbarController_->toolbar();
    return document && (!existing || existing->features() != document->toolbarFeatures());
}

void VornTabbedWindowController::updateToolbar()
{
    ToolbarItemAdjustableLayout *spacer = toolbarController_->adjustableRightItem();
    if (spacer && spacer->splitView() != mainSplitView()) {
        spacer->setSplitView(mainSplitView());
        spacer->setSynchronizeLeftSide(true);
        spacer->setDividerIndex(1);
    }
    synchronizeViewButtons();
    if (const MainWindowDocument *document = activeMainDocument())
        toolbarController_->setRecycleBinFull(document->toolbarRecylceBinIsFull());
    if (FeaturedToolbar *toolbar = toolbarController_->toolbar())
        toolbar->validateVisibleItems();
}

void VornTabbedWindowController::clearControllers()
{
    for (Pane p :
         {Pane::InfoColumn, Pane::Resultset, Pane::Browser, Pane::SqlEditor, Pane::Logger, Pane::Status})
        pane(p)->detachModel();
    simpleText_->setSimpleTextController(nullptr);
    simpleAction_->setSimpleActionController(nullptr);
    pane(Pane::Analyser)->detachModel();
    pane(Pane::ProcedureEditor)->detachModel();
}
