#include "document/InfoColumnRouting.h"

#include "browser/IndependantInfoColumnViewController.h"
#include "browser/InfoColumnViewController.h"
#include "browser/InfoController.h"
#include "document/VornDocument.h"
#include "window/MainSplitView.h"
#include "window/VornTabbedWindowController.h"

#include <QScreen>

namespace
{
constexpr int PanelHeight = 400;
constexpr int Cascade = 20;
} // namespace

InfoColumnRouting::InfoColumnRouting(VornDocument &document, const VornRootClientPtr &root,
                                     const std::shared_ptr<ThreadController> &threads,
                                     const std::shared_ptr<StatusManager> &status)
    : document_(document), infoController_(std::make_shared<InfoController>(root))
{
    infoController_->setDelegate(&document);
    infoController_->setInfoDelegate(this);
    infoController_->setThreadController(threads);
    infoController_->setStatusManager(status);
}

InfoColumnRouting::~InfoColumnRouting()
{
    unbindWindowPane();
    infoController_->setInfoDelegate(nullptr);
    infoController_->setDelegate(nullptr);
}

InfoColumnViewController *InfoColumnRouting::infoColumnViewController() const
{
    VornTabbedWindowController *window = document_.vornWindowController();
    if (!window || !window->isWindowLoaded())
        return nullptr;
    return qobject_cast<InfoColumnViewController *>(
        window->pane(VornTabbedWindowController::Pane::InfoColumn));
}

void InfoColumnRouting::bindWindowPane() const
{
    if (InfoColumnViewController *column = infoColumnViewController())
        column->setInfoController(infoController_);
}

void InfoColumnRouting::unbindWindowPane() const
{
    InfoColumnViewController *column = infoColumnViewController();
    if (column && column->infoController() == infoController_)
        column->setInfoController(nullptr);
}

void InfoColumnRouting::showNothing()
{
    infoController_->resetInfoUsingBrowserElement(nullptr, nullptr);
    if (InfoColumnViewController *column = infoColumnViewController())
        column->infoUpdated(-1);
}

void InfoColumnRouting::showStatementResult(const BrowserElementPtr &element,
                                            const std::shared_ptr<VornResultset> &resultset)
{
    infoController_->resetInfoUsingSqlBrowserElement(element, resultset);
    if (InfoColumnViewController *column = infoColumnViewController())
        column->infoUpdated(-1);
}

void InfoColumnRouting::browserLoadedElement(const BrowserElementPtr &element,
                                             const std::shared_ptr<VornResultset> &resultset)
{
    infoController_->resetInfoUsingBrowserElement(element, resultset);
    if (InfoColumnViewController *column = infoColumnViewController())
        column->infoUpdated(-1);
}

void InfoColumnRouting::showInfoOfElementSeparately(const BrowserElementPtr &element)
{
    infoController_->referToBrowserElement(element);
}

void InfoColumnRouting::refreshColumn() const
{
    if (InfoColumnViewController *column = infoColumnViewController())
        column->infoControllerUpdate();
}

void InfoColumnRouting::clearCaches()
{
    infoController_->clearCaches();
}

bool InfoColumnRouting::infoControllerShouldLoadExtendedInfo(InfoController *)
{
    VornTabbedWindowController *window = document_.vornWindowController();
    return window && window->isWindowLoaded() && window->activeDocument() == &document_ &&
           window->mainSplitView() && window->mainSplitView()->viewBEnabled();
}

void InfoColumnRouting::infoHasBeenUpdated(qint64 sectionType)
{
    InfoColumnViewController *column = infoColumnViewController();
    if (!column || column->infoController() != infoController_)
        return;
    if (sectionType == -1)
        column->infoControllerUpdate();
    else
        column->infoUpdated(sectionType);
}

// A new panel opens at the info column's left edge, or cascades from the topmost open panel.
void InfoColumnRouting::requestSeparatedViewOfInfoController(std::shared_ptr<InfoController> controller)
{
    QPoint origin(Cascade, Cascade);
    if (QWidget *top = IndependantInfoColumnViewController::topInfoPanel()) {
        origin = top->pos() + QPoint(-Cascade, -Cascade);
    } else if (InfoColumnViewController *column = infoColumnViewController()) {
        const QWidget *view = column->view();
        const QPoint left = view->mapToGlobal(QPoint(0, 0));
        origin = QPoint(left.x() + Cascade, left.y() + std::max(0, (view->height() - PanelHeight) / 2));
    }
    IndependantInfoColumnViewController::create(std::move(controller), document_.connectionParameters())
        ->showWithSuggestedOrigin(origin);
}

qint64 InfoColumnRouting::infoControllerNeedsTabLabel(InfoController *)
{
    return qint64(document_.tabLabel());
}

QString InfoColumnRouting::infoControllerNeedsActiveConnectionName(InfoController *)
{
    if (!document_.vornRoot()->hasConnection())
        return QString();
    const ConnectionParametersPtr parameters = document_.connectionParameters();
    return parameters ? parameters->connectionName() : QString();
}
