#include "browser/BrowserViewController.h"

#include "browser/BrowserBottomView.h"
#include "browser/BrowserColumnView.h"
#include "browser/BrowserController.h"
#include "browser/BrowserHeaderView.h"
#include "browser/BrowserMDUpdateView.h"
#include "browser/BrowserOutlineModel.h"
#include "kit/CommandRouter.h"
#include "platform/MainThread.h"
#include "platform/Preferences.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLoggingCategory>
#include <QMenu>
#include <QScrollBar>
#include <QShortcut>
#include <QToolButton>
#include <QVBoxLayout>

#include <utility>

namespace
{
Q_LOGGING_CATEGORY(lcBrowserPane, "vorn.browser.pane")

QString browserText(const char *text)
{
    return QCoreApplication::translate("browser", text);
}

constexpr int headerHeight = 58;
constexpr int bottomHeight = 24;
} // namespace

BrowserViewController::BrowserViewController(QObject *parent)
    : BrowserViewController([] { return std::make_unique<BrowserQtFoldTimer>(); }, parent)
{
}

BrowserViewController::BrowserViewController(TimerFactory timers, QObject *parent)
    : PaneViewController(parent), model_(std::make_unique<BrowserOutlineModel>()), timers_(std::move(timers)),
      foldTimer_(timers_()), reloadTimer_(timers_())
{
    buildView();
    model_->setDragWriter([this](const BrowserElementPtr &element) {
        return pasteboardForElement(element, QGuiApplication::queryKeyboardModifiers());
    });
    observeGridDrags();
    browserReset();
}

BrowserViewController::~BrowserViewController()
{
    for (NotificationCenter::ObserverId id : std::as_const(observers_))
        NotificationCenter::defaultCenter().removeObserver(id);
    if (outline_)
        outline_->setModel(nullptr);
}

void BrowserViewController::buildView()
{
    auto *view = new QWidget;
    view->setObjectName(QStringLiteral("BrowserPane"));
    auto *layout = new QVBoxLayout(view);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    header_ = new BrowserHeaderView;
    header_->setFixedHeight(headerHeight);
    auto *headerLayout = new QVBoxLayout(header_);
    headerLayout->setContentsMargins(6, 4, 6, 5);
    headerLayout->setSpacing(3);
    schemaSelection_ = new QComboBox;
    schemaSelection_->setObjectName(QStringLiteral("BrowserSchemaSelection"));
    searchField_ = new QLineEdit;
    searchField_->setObjectName(QStringLiteral("BrowserSearchField"));
    searchField_->setPlaceholderText(browserText("Search"));
    searchField_->setClearButtonEnabled(true);
    searchField_->installEventFilter(this);
    headerLayout->addWidget(schemaSelection_);
    headerLayout->addWidget(searchField_);
    layout->addWidget(header_);

    auto *column = new BrowserColumnView;
    outline_ = new BrowserOutlineView;
    outline_->setObjectName(QStringLiteral("BrowserOutlineView"));
    outline_->setModel(model_.get());
    outline_->setDragDelegate(this);
    outline_->setOutlineDelegate(this);
    column->setOutlineView(outline_);
    layout->addWidget(column, 1);

    bottom_ = new BrowserBottomView;
    bottom_->setFixedHeight(bottomHeight);
    auto *bottomLayout = new QHBoxLayout(bottom_);
    bottomLayout->setContentsMargins(4, 1, 4, 1);
    actionButton_ = new QToolButton;
    actionButton_->setObjectName(QStringLiteral("BrowserActionButton"));
    actionButton_->setText(QStringLiteral("⚙"));
    actionButton_->setAutoRaise(true);
    actionButton_->setToolTip(browserText("Actions"));
    newButton_ = new QToolButton;
    newButton_->setObjectName(QStringLiteral("BrowserNewButton"));
    newButton_->setText(QStringLiteral("+"));
    newButton_->setAutoRaise(true);
    newButton_->setToolTip(browserText("Create New"));
    bottomLayout->addWidget(newButton_);
    bottomLayout->addWidget(actionButton_);
    bottomLayout->addStretch(1);
    layout->addWidget(bottom_);

    // Ctrl+Alt+B searches the browser from anywhere in the window.
    auto *search = new QShortcut(QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_B), view);
    search->setContext(Qt::WindowShortcut);
    QObject::connect(search, &QShortcut::activated, this, [this] { selectSearchField(nullptr); });

    badge_ = BrowserMDUpdateView::instance(view);
    badge_->setAlpha(0.0);
    view->installEventFilter(this);
    // The pane comes first in the window: a new window's keyboard still starts in the SQL editor.
    // Clicks, Ctrl+Alt+B and the arrow keys from the search field reach the browser's controls.
    for (QWidget *control : std::initializer_list<QWidget *>{schemaSelection_, searchField_, outline_})
        control->setFocusPolicy(Qt::ClickFocus);
    for (QWidget *button : std::initializer_list<QWidget *>{actionButton_, newButton_})
        button->setFocusPolicy(Qt::NoFocus);

    QObject::connect(schemaSelection_, &QComboBox::activated, this,
                     [this] { schemaSelectionUpdated(nullptr); });
    QObject::connect(searchField_, &QLineEdit::textEdited, this, [this] { searchFieldUpdate(); });
    QObject::connect(outline_, &QTreeView::expanded, this,
                     [this](const QModelIndex &index) { sectionExpansionChanged(index, true); });
    QObject::connect(outline_, &QTreeView::collapsed, this,
                     [this](const QModelIndex &index) { sectionExpansionChanged(index, false); });
    QObject::connect(outline_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
                     [this] { selectionChanged(); });
    const auto popUp = [this](QToolButton *button, QMenu *menu) {
        menu->setAttribute(Qt::WA_DeleteOnClose);
        menu->popup(button->mapToGlobal(QPoint(0, 0)) - QPoint(0, menu->sizeHint().height()));
    };
    QObject::connect(actionButton_, &QToolButton::clicked, this,
                     [this, popUp] { popUp(actionButton_, generateContextMenu()); });
    QObject::connect(newButton_, &QToolButton::clicked, this,
                     [this, popUp] { popUp(newButton_, generateNewMenu()); });
    setView(view);
}

bool BrowserViewController::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == searchField_ && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent *>(event)->key() == Qt::Key_Down) {
        searchFieldMoveDown();
        return true;
    }
    // The badge keeps to the lower-left corner above the bottom bar.
    if (watched == view() && event->type() == QEvent::Resize && badge_)
        badge_->move(0, view()->height() - bottomHeight - badge_->height());
    return PaneViewController::eventFilter(watched, event);
}

BrowserElementStore *BrowserViewController::activeStore() const
{
    return browserController_ ? browserController_->activeElementStore() : nullptr;
}

BrowserElementStore *BrowserViewController::dataStore() const
{
    return browserController_ ? browserController_->browserElementStore() : nullptr;
}

BrowserElementPtr BrowserViewController::selectedDataElement() const
{
    const BrowserElementStore *store = dataStore();
    return store ? store->selectedElement() : nullptr;
}

QList<BrowserElementPtr> BrowserViewController::activeItems() const
{
    return model_->activeItems();
}

// Wiring and updates.

void BrowserViewController::setBrowserController(BrowserController *controller)
{
    Q_ASSERT_X(MainThread::isMainThread(), "BrowserViewController",
               "setBrowserController must be called on the main thread");
    if (browserController_)
        browserController_->clearTemporaryStore();
    browserController_ = controller;
    browserReset();
    if (inDragMode_ && browserController_)
        browserController_->setTemporaryStoreConstraintedElement(dragModeElement_, dragModeColumn_);
}

void BrowserViewController::detachModel()
{
    setBrowserController(nullptr);
}

void BrowserViewController::browserUpdated()
{
    browserReset();
}

void BrowserViewController::fillSchemaSelection()
{
    const QSignalBlocker blocker(schemaSelection_);
    schemaSelection_->clear();
    BrowserElementStore *store = activeStore();
    if (!store)
        return;
    if (store->selectedSchema().isEmpty()) {
        if (store->schemas().isEmpty())
            qCWarning(lcBrowserPane, "Couldn't set schema");
        else
            store->setSelectedSchema(store->schemas().first());
    }
    schemaSelection_->addItems(store->schemas());
    schemaSelection_->setCurrentIndex(int(store->schemas().indexOf(store->selectedSchema())));
}

void BrowserViewController::browserReset()
{
    Q_ASSERT_X(MainThread::isMainThread(), "BrowserViewController",
               "browserReset must be called on the main thread");
    fillSchemaSelection();
    BrowserElementStore *store = activeStore();
    if (searchField_->text() != (store ? store->filter() : QString()))
        searchField_->setText(store ? store->filter() : QString());
    reloadOutlineView();
    searchField_->setEnabled(store && !store->selectedSchema().isEmpty());
    schemaSelection_->setEnabled(store != nullptr);
    scrollSelectionIntoView();
    updateBadge(true);
}

void BrowserViewController::reloadOutlineView()
{
    Q_ASSERT_X(MainThread::isMainThread(), "BrowserViewController",
               "reloadOutlineView must be called on the main thread");
    resetting_ = true;
    model_->setStore(activeStore());
    const QList<BrowserElementSectionPtr> sections = model_->sections();
    for (int i = 0; i < sections.size(); ++i)
        outline_->setExpanded(model_->index(i, 0), sections.at(i)->expanded());
    const int scroll = outline_->verticalScrollBar()->value();
    selectStoreSelection();
    outline_->verticalScrollBar()->setValue(scroll);
    resetting_ = false;
}

// The row of the active store's selected element: in the section it was chosen in when that shows it
// (an element may be listed as a recent item and as an object too), else its first row.
QModelIndex BrowserViewController::rowOfStoreSelection() const
{
    const BrowserElementStore *store = activeStore();
    const BrowserElementPtr selected = store ? store->selectedElement() : nullptr;
    if (!selected)
        return {};
    for (const BrowserElementSectionPtr &section : model_->sections()) {
        if (section->type() != store->selectedElementSectionType())
            continue;
        if (const QModelIndex row = model_->indexOfElement(*selected, section.get()); row.isValid())
            return row;
    }
    return model_->indexOfElement(*selected);
}

// Selects the active store's selected element where it has a row; clears the selection otherwise.
void BrowserViewController::selectStoreSelection()
{
    const bool wasResetting = std::exchange(resetting_, true);
    const QModelIndex row = rowOfStoreSelection();
    if (row.isValid()) {
        outline_->selectionModel()->setCurrentIndex(row, QItemSelectionModel::ClearAndSelect);
    } else {
        outline_->selectionModel()->clearSelection();
        outline_->selectionModel()->setCurrentIndex({}, QItemSelectionModel::NoUpdate);
    }
    resetting_ = wasResetting;
}

void BrowserViewController::scrollSelectionIntoView()
{
    const QModelIndex current = outline_->currentIndex();
    if (current.isValid())
        outline_->scrollTo(current);
}

void BrowserViewController::updateBadge(bool animated)
{
    const qreal alpha = browserController_ && browserController_->updatingMetaDataInBackground() ? 1.0 : 0.0;
    if (animated)
        badge_->fadeTo(alpha);
    else
        badge_->setAlpha(alpha);
    badge_->raise();
}

void BrowserViewController::browserMetaDataCheckUpdated()
{
    updateBadge(true);
}

void BrowserViewController::browserDidUpdate(const std::optional<BrowserElementSectionUpdate> &update)
{
    if (!update || !update->section) {
        browserReset();
        return;
    }
    resetting_ = true;
    model_->applySectionUpdate(*update);
    resetting_ = false;
    selectStoreSelection();
    const QModelIndex current = outline_->currentIndex();
    outline_->scrollTo(current.isValid() ? current : model_->index(0, 0));
}

void BrowserViewController::sectionExpansionChanged(const QModelIndex &index, bool expanded)
{
    const BrowserElementSectionPtr section = model_->sectionAt(index);
    if (!section)
        return;
    section->setExpanded(expanded);
    if (!expanded || resetting_)
        return;
    // The selected element comes back into view selected when its section opens again.
    const BrowserElementStore *store = activeStore();
    if (const BrowserElementPtr selected = store ? store->selectedElement() : nullptr) {
        if (model_->indexOfElement(*selected, section.get()).isValid())
            selectStoreSelection();
    }
}

// Schemas.

void BrowserViewController::schemaSelectionUpdated(QObject *)
{
    BrowserElementStore *store = activeStore();
    if (!store || !browserController_)
        return;
    const QString schema = schemaSelection_->currentText();
    if (!schema.isEmpty() && browserController_->browserShouldChangeSchemaSelection(schema)) {
        const bool sameSchema = schema == store->selectedSchema();
        const int scroll = outline_->verticalScrollBar()->value();
        store->setSelectedSchema(schema);
        browserController_->browserDidChangeSchemaSelection(schema);
        // The controller may have replaced the stores meanwhile.
        store = activeStore();
        reloadOutlineView();
        if (sameSchema) {
            outline_->verticalScrollBar()->setValue(scroll);
        } else {
            outline_->scrollToTop();
            scrollSelectionIntoView();
        }
        searchField_->setEnabled(store && !store->selectedSchema().isEmpty());
    }
    // A refused change snaps back to the schema shown.
    store = activeStore();
    if (store) {
        const QSignalBlocker blocker(schemaSelection_);
        schemaSelection_->setCurrentIndex(int(store->schemas().indexOf(store->selectedSchema())));
    }
}

void BrowserViewController::selectSearchField(QObject *)
{
    if (!searchField_->isVisibleTo(view()) || !view()->isVisible()) {
        if (QObject *target = CommandRouter::shared().targetForAction(QStringLiteral("toggleMainLeftView:"),
                                                                      view()->window()))
            CommandRouter::perform(target, QStringLiteral("toggleMainLeftView:"), this);
    }
    searchField_->setFocus(Qt::OtherFocusReason);
    searchField_->selectAll();
}

void BrowserViewController::performFindPanelAction(QObject *)
{
    searchField_->setFocus(Qt::ShortcutFocusReason);
    searchField_->selectAll();
}

// Selection.

bool BrowserViewController::skipFavourites() const
{
    return Preferences().flag(PreferenceKey::browser_skip_favourite_keyboard_navigation);
}

bool BrowserViewController::outlineKeyMaySelect(const QModelIndex &index)
{
    const BrowserElementSectionPtr parent = model_->parentSectionAt(index);
    if (!parent)
        return false;
    if (parent->type() == BrowserElementSection::Recent)
        return false;
    return !(parent->type() == BrowserElementSection::Favourites && skipFavourites());
}

bool BrowserViewController::outlineUpArrowLeavesAt(const QModelIndex &index)
{
    const BrowserElementSectionPtr section = model_->sectionAt(index);
    if (!section)
        return false;
    const bool leaves = section->type() == BrowserElementSection::Favourites ||
                        (section->type() == BrowserElementSection::Recent && skipFavourites());
    if (leaves)
        searchField_->setFocus(Qt::OtherFocusReason);
    return leaves;
}

bool BrowserViewController::outlineShouldSelect(const QModelIndex &index)
{
    const BrowserElementPtr element = model_->elementAt(index);
    BrowserElementStore *store = activeStore();
    if (!element || !store || !browserController_)
        return false;
    if (!browserController_->browserShouldChangeElementSelection())
        return false;
    const BrowserElementPtr selected = store->selectedElement();
    if (selected && element->isSameDatabaseElement(*selected))
        return true;
    store->setSelectedElement(element);
    browserController_->browserDidChangeElementSelection(element);
    return true;
}

void BrowserViewController::outlineModifiedClick(const QModelIndex &index, Qt::KeyboardModifiers modifiers)
{
    const BrowserElementPtr element = model_->elementAt(index);
    if (!element || !browserController_)
        return;
    if (modifiers & Qt::ControlModifier)
        browserController_->shouldSelectElementInNewTab(element, modifiers & Qt::AltModifier);
    else if ((modifiers & Qt::AltModifier) && !browserController_->managementMode())
        browserController_->shouldOpenInfoOfElement(element);
}

void BrowserViewController::selectionChanged()
{
    if (resetting_ || !browserController_)
        return;
    const QModelIndex current = outline_->currentIndex();
    const BrowserElementPtr element = model_->elementAt(current);
    if (!element || !outline_->selectionModel()->isSelected(current))
        return;
    const BrowserElementSectionPtr section = model_->parentSectionAt(current);
    browserController_->setActiveElementStoreSelection(element, section.get());
    outline_->scrollTo(current);
}

// Searching.

void BrowserViewController::searchFieldUpdate()
{
    BrowserElementStore *store = activeStore();
    if (!store)
        return;
    const QString text = searchField_->text();
    store->setFilter(text);
    if (text.isEmpty() || !temporaryHideFavouritesAndRecents()) {
        reloadOutlineView();
        return;
    }
    reloadTimer_->start(searchReloadMs, [this] {
        reloadOutlineView();
        scrollSelectionIntoView();
    });
}

// A search burst folds the favourites and recent items away until 3 s after its last keystroke; true
// when this keystroke began the burst.
bool BrowserViewController::temporaryHideFavouritesAndRecents()
{
    const bool began = !foldTimer_->isActive();
    foldTimer_->start(foldMs, [this] { endFold(true); });
    if (!began)
        return false;
    // The object sections show the new search at once.
    reloadOutlineView();
    // Folding waits until the keystroke has been handled.
    QMetaObject::invokeMethod(
        this, [this] { foldFavouritesAndRecents(); }, Qt::QueuedConnection);
    return true;
}

void BrowserViewController::foldFavouritesAndRecents()
{
    foldedFavourites_ = false;
    foldedRecents_ = false;
    const QList<BrowserElementSectionPtr> sections = model_->sections();
    for (int i = 0; i < sections.size(); ++i) {
        const qint64 type = sections.at(i)->type();
        if (type != BrowserElementSection::Favourites && type != BrowserElementSection::Recent)
            continue;
        if (!outline_->isExpanded(model_->index(i, 0)))
            continue;
        (type == BrowserElementSection::Favourites ? foldedFavourites_ : foldedRecents_) = true;
        outline_->collapse(model_->index(i, 0));
    }
    outline_->scrollToTop();
}

void BrowserViewController::endFold(bool animated)
{
    foldTimer_->stop();
    const bool wasAnimated = outline_->isAnimated();
    outline_->setAnimated(animated);
    const QList<BrowserElementSectionPtr> sections = model_->sections();
    for (int i = 0; i < sections.size(); ++i) {
        const qint64 type = sections.at(i)->type();
        const bool folded = (type == BrowserElementSection::Favourites && foldedFavourites_) ||
                            (type == BrowserElementSection::Recent && foldedRecents_);
        if (folded && !outline_->isExpanded(model_->index(i, 0)))
            outline_->expand(model_->index(i, 0));
    }
    outline_->setAnimated(wasAnimated);
    const QModelIndex row = rowOfStoreSelection();
    if (!row.isValid())
        return;
    if (animated) {
        // Only a row out of sight comes to the top.
        const QRect visible = outline_->viewport()->rect();
        if (!visible.intersects(outline_->visualRect(row)))
            outline_->scrollTo(row, QAbstractItemView::PositionAtTop);
    } else {
        selectStoreSelection();
    }
}

void BrowserViewController::searchFieldMoveDown()
{
    const QList<BrowserElementSectionPtr> sections = model_->sections();
    for (int i = 0; i < sections.size(); ++i) {
        if (!sections.at(i)->respondsToFilter())
            continue;
        outline_->setFocus(Qt::OtherFocusReason);
        const QModelIndex section = model_->index(i, 0);
        const QModelIndex first = model_->index(0, 0, section);
        if (outline_->isExpanded(section) && first.isValid() && outlineShouldSelect(first))
            outline_->selectionModel()->setCurrentIndex(first, QItemSelectionModel::ClearAndSelect);
        return;
    }
}

// Interface state.

void BrowserViewController::encodeInferfaceState(QVariantMap &archive) const
{
    if (foldTimer_->isActive())
        const_cast<BrowserViewController *>(this)->endFold(false);
    const QRect visible(
        QPoint(outline_->horizontalScrollBar()->value(), outline_->verticalScrollBar()->value()),
        outline_->viewport()->size());
    archive.insert(visibleRectKey, visible);
}

void BrowserViewController::decodeInferfaceState(const QVariantMap &archive)
{
    const QRect visible = archive.value(visibleRectKey).toRect();
    // A rectangle of another size belongs to another layout: the position stays as it is.
    if (!archive.contains(visibleRectKey) || visible.size() != outline_->viewport()->size())
        return;
    outline_->horizontalScrollBar()->setValue(visible.x());
    outline_->verticalScrollBar()->setValue(visible.y());
}

void BrowserViewController::setDefaultInterfaceState()
{
    outline_->scrollToTop();
}

QList<VisualShortcut> BrowserViewController::visualShortcuts()
{
    VisualShortcut panel = VisualShortcut::visualShortCutWithView(
        outline_, "0", Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier, true);
    panel.subTitle = browserText("Show/hide Browser Panel");
    VisualShortcut search =
        VisualShortcut::visualShortCutWithView(searchField_, "f/⌥⌘b", Qt::ControlModifier, true);
    search.subTitle = browserText("Search Browser");
    return {panel, search};
}
