#include "browser/InfoColumnViewController.h"

#include "browser/InfoColumnDataView.h"
#include "browser/InfoColumnSectionHeader.h"
#include "browser/InfoColumnView.h"
#include "browser/InfoController.h"
#include "browser/InfoSectionNotLoadedView.h"
#include "browser/InfoText.h"

#include <QScrollArea>
#include <QScrollBar>

namespace
{
constexpr int SpacerHeight = 4;
const char *const openInfoAction = "openInfoInOwnWindow:";
} // namespace

InfoColumnViewController::InfoColumnViewController(QObject *parent) : PaneViewController(parent)
{
    auto *root = new InfoColumnView;
    setView(root);
    notLoadedView_ = InfoSectionNotLoadedView::instance(root);
    notLoadedView_->hide();
    resetBar(1);
    resizeObserver_ = NotificationCenter::defaultCenter().addObserver(InfoColumnView::sizeChangedNotification,
                                                                      root, [this](const Notification &) {
                                                                          placeBar();
                                                                          viewResized();
                                                                      });
    QObject::connect(root->scrollView()->verticalScrollBar(), &QScrollBar::rangeChanged, this,
                     [this] { viewResized(); });
}

InfoColumnViewController::~InfoColumnViewController()
{
    NotificationCenter::defaultCenter().removeObserver(resizeObserver_);
}

InfoColumnView *InfoColumnViewController::columnView() const
{
    return static_cast<InfoColumnView *>(view());
}

QWidget *InfoColumnViewController::documentView() const
{
    return columnView() ? columnView()->scrollView()->widget() : nullptr;
}

QList<InfoColumnDataView *> InfoColumnViewController::dataViews() const
{
    QList<InfoColumnDataView *> rows;
    for (const QPointer<InfoColumnDataView> &row : dataViews_) {
        if (row)
            rows << row;
    }
    return rows;
}

// From the scroll view's own geometry: its viewport takes its size only when the scroll view lays
// itself out, which may come after a section was built.
int InfoColumnViewController::contentWidth() const
{
    const QScrollArea *scroll = columnView()->scrollView();
    const QScrollBar *bar = scroll->verticalScrollBar();
    return scroll->width() - (bar->isVisibleTo(scroll) ? bar->sizeHint().width() : 0);
}

int InfoColumnViewController::contentHeight() const
{
    return columnView()->scrollView()->height();
}

void InfoColumnViewController::setInfoController(std::shared_ptr<InfoController> controller)
{
    infoController_ = std::move(controller);
    infoControllerReset();
}

void InfoColumnViewController::detachModel()
{
    setInfoController(nullptr);
}

void InfoColumnViewController::infoControllerReset()
{
    resetBar(infoColumnButtonSetFromController());
    infoControllerUpdate();
}

quint64 InfoColumnViewController::infoColumnButtonSetFromController() const
{
    if (!infoController_)
        return 0;
    quint64 set = 0;
    for (const InfoItemSectionPtr &section : infoController_->infoItemSections()) {
        if (quint64(section->type) & sectionButtonTypes)
            set |= quint64(section->type);
    }
    if (infoController_->canEventuallyRefresh())
        set |= InfoColumnButtonBar::refreshFlag;
    return set;
}

void InfoColumnViewController::resetBar(quint64 buttonSet, qint64 initialSelection)
{
    if (bar_ && bar_->infoColumnButtonSet() == buttonSet)
        return;
    delete bar_;
    bar_ = new InfoColumnButtonBar(buttonSet, initialSelection, columnView());
    bar_->setDelegate(this);
    placeBar();
    bar_->show();
}

void InfoColumnViewController::placeBar()
{
    if (bar_)
        bar_->move((columnView()->width() - bar_->width()) / 2, 0);
}

void InfoColumnViewController::infoControllerUpdate()
{
    const qint64 previous = bar_->activeButton();
    const quint64 set = infoColumnButtonSetFromController();
    resetBar(set, previous);
    generateInfoViewForItem(bar_->activeButton());
    if (!(quint64(previous) & set)) {
        bar_->setActiveButton(1);
        generateInfoViewForItem(1);
    }
    bar_->setEnableRefresh(infoController_ && infoController_->canRefresh());
}

void InfoColumnViewController::generateInfoViewForItem(qint64 type)
{
    if (!infoController_)
        return;
    if (InfoItemSectionPtr section = infoController_->findSection(type))
        generateInfoViewForSection(section);
}

void InfoColumnViewController::infoUpdated(qint64 type)
{
    if (type < 0 || type == bar_->activeButton()) {
        infoControllerUpdate();
        return;
    }
    bar_->setEnableRefresh(infoController_ && infoController_->canRefresh());
}

void InfoColumnViewController::generateInfoViewForSection(const InfoItemSectionPtr &section)
{
    const int width = contentWidth();
    auto *container = new QWidget;
    container->setObjectName(QStringLiteral("TransparentView"));
    InfoColumnSectionHeader *header = InfoColumnSectionHeader::sectionHeader(
        infoController_->name(), infoController_->connectionName(), infoController_->image(), section->title,
        infoController_->connectionLabel(), infoController_->managementMode(), container);
    header->resize(width, InfoColumnSectionHeader::headerHeight);

    QList<InfoColumnDataView *> rows{InfoColumnDataView::infoColumnDataViewSpacer(SpacerHeight, container)};
    for (const InfoItemGroup &group : section->groups)
        generateGroupView(group, rows, container, width);
    const std::optional<bool> favourite = infoController_->favouriteStatus();
    if (section->type == InfoItemSection::General && favourite && section->fullyLoaded) {
        InfoColumnDataView *row = InfoColumnDataView::infoColumnDataView(container);
        row->setFavouriteStatus(*favourite);
        row->setReferTarget(this);
        row->setValue(QString());
        row->sizeToFitWidth(width);
        rows << row;
    }
    dataViews_.clear();
    for (InfoColumnDataView *row : rows)
        dataViews_ << row;
    header_ = header;
    setDocumentView(combineHeaderContent(header, rows, container), section->fullyLoaded);
}

void InfoColumnViewController::generateGroupView(const InfoItemGroup &group,
                                                 QList<InfoColumnDataView *> &rows, QWidget *container,
                                                 int width)
{
    rows << InfoColumnDataView::infoColumnDataViewSpacer(SpacerHeight, container);
    if (!group.title.isEmpty()) {
        InfoColumnDataView *title = InfoColumnDataView::infoColumnDataView(container);
        title->setName(group.title);
        title->setBold(true);
        title->sizeToFitWidth(width);
        rows << title << InfoColumnDataView::infoColumnDataViewSpacer(1, container);
    }
    QList<InfoColumnDataView *> items;
    qint64 nameColumn = 0;
    const bool ownNameWidth = group.infoItemGroupArrangement & InfoItemGroup::OwnNameWidth;
    for (const InfoItem &item : group.items) {
        InfoColumnDataView *row = InfoColumnDataView::infoColumnDataView(container);
        row->setName(!item.name.isNull() && !item.value.isNull() ? QStringLiteral("%1:").arg(item.name)
                                                                 : item.name);
        row->setArrangement(group.infoItemGroupArrangement);
        row->setValue(item.value);
        if (item.element) {
            row->setReferingObject(item.element);
            row->setReferTarget(this);
        }
        if (item.actionRefer.isValid()) {
            row->setReferingAction(item.actionRefer);
            row->setReferTarget(this);
        }
        rows << row;
        items << row;
        if (!ownNameWidth)
            nameColumn = std::max(nameColumn, row->minimumNameWidth());
    }
    rows << InfoColumnDataView::infoColumnDataViewSpacer(SpacerHeight, container);
    for (InfoColumnDataView *row : items) {
        row->setNameWidth(ownNameWidth ? 0 : nameColumn);
        row->sizeToFitWidth(width);
    }
}

// The header on top, the rows under it; a favourite row sits at the bottom of the column when the
// content is shorter than the column.
QWidget *InfoColumnViewController::combineHeaderContent(InfoColumnSectionHeader *header,
                                                        const QList<InfoColumnDataView *> &rows,
                                                        QWidget *container)
{
    int total = header->height();
    for (InfoColumnDataView *row : rows)
        total += row->height();
    total = std::max(total, contentHeight());
    container->resize(contentWidth(), total);
    header->move(0, 0);
    int y = header->height();
    for (InfoColumnDataView *row : rows) {
        row->move(0, y);
        y += row->height();
    }
    if (!rows.isEmpty() && rows.last()->favouriteStatus())
        rows.last()->move(0, total - rows.last()->height());
    return container;
}

void InfoColumnViewController::setDocumentView(QWidget *container, bool sectionComplete)
{
    QScrollArea *scroll = columnView()->scrollView();
    // The notice outlives the document views it is shown on.
    notLoadedView_->setParent(columnView());
    notLoadedView_->hide();
    auto *document = new QWidget;
    document->setObjectName(QStringLiteral("InfoColumnDocumentView"));
    document->resize(contentWidth(), std::max(container->height(), contentHeight()));
    container->setParent(document);
    container->move(0, 0);
    container->show();
    if (!sectionComplete) {
        notLoadedView_->setParent(document);
        notLoadedView_->move(contentWidth() - notLoadedView_->width(),
                             contentHeight() - notLoadedView_->height());
        notLoadedView_->show();
        notLoadedView_->raise();
    }
    scroll->setWidget(document);
    scroll->verticalScrollBar()->setValue(0);
}

void InfoColumnViewController::viewResized()
{
    QWidget *document = documentView();
    if (!document || !header_)
        return;
    QWidget *container = header_->parentWidget();
    const int width = contentWidth();
    header_->resize(width, header_->height());
    int total = header_->height();
    const QList<InfoColumnDataView *> rows = dataViews();
    for (InfoColumnDataView *row : rows) {
        row->sizeToFitWidth(width);
        total += row->height();
    }
    total = std::max(total, contentHeight());
    container->resize(width, total);
    int y = header_->height();
    for (InfoColumnDataView *row : rows) {
        row->move(0, y);
        y += row->height();
    }
    if (!rows.isEmpty() && rows.last()->favouriteStatus())
        rows.last()->move(0, total - rows.last()->height());
    document->resize(width, std::max(total, contentHeight()));
    if (notLoadedView_->parentWidget() == document)
        notLoadedView_->move(width - notLoadedView_->width(), contentHeight() - notLoadedView_->height());
}

void InfoColumnViewController::setPoppedOut(bool poppedOut)
{
    Q_ASSERT_X(poppedOut, "InfoColumnViewController", "Cannot un Popout");
    poppedOut_ = poppedOut;
    columnView()->setBottomBarShown(false);
}

// --- Delegates ----------------------------------------------------------------------------------------

void InfoColumnViewController::infoColumnButtonBarSelectChanged(InfoColumnButtonBar *)
{
    infoControllerUpdate();
}

void InfoColumnViewController::infoColumnButtonBarRefreshRequested(InfoColumnButtonBar *)
{
    if (infoController_)
        infoController_->refresh();
}

void InfoColumnViewController::shouldReferTo(const BrowserElementPtr &element)
{
    if (infoController_)
        infoController_->referToBrowserElement(element);
}

void InfoColumnViewController::shouldReferToAction(const QVariant &action)
{
    if (infoController_)
        infoController_->referToAction(action.toMap(), view()->window());
}

void InfoColumnViewController::shouldChangeFavouriteStatusTo(bool favourite)
{
    if (infoController_)
        infoController_->updateFavouriteStatus(favourite);
}

QList<VisualShortcut> InfoColumnViewController::visualShortcuts()
{
    if (poppedOut_)
        return {};
    VisualShortcut shortcut = VisualShortcut::visualShortCutWithView(
        columnView()->scrollView(), QStringLiteral("0"), Qt::ControlModifier | Qt::AltModifier, true);
    shortcut.subTitle = infoText("Show/hide Inspector Panel");
    return {shortcut};
}

void InfoColumnViewController::openInfoInOwnWindow(QObject *)
{
    if (infoController_)
        infoController_->referToCurrentBrowserElementInSeparateWindow();
}

bool InfoColumnViewController::validateAction(const QString &action) const
{
    if (action == QLatin1String(openInfoAction))
        return !(infoController_ && infoController_->managementMode());
    return true;
}

void InfoColumnViewController::encodeInferfaceState(QVariantMap &archive) const
{
    archive.insert(selectedInfoKey, bar_ ? bar_->activeButton() : 1);
}

void InfoColumnViewController::decodeInferfaceState(const QVariantMap &archive)
{
    bar_->setActiveButton(archive.value(selectedInfoKey, 1).toLongLong());
    infoControllerUpdate();
}

void InfoColumnViewController::paneBecameVisible()
{
    if (infoController_)
        infoController_->startLoadingImmediately();
}
