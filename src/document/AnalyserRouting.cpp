#include "document/AnalyserRouting.h"

#include "browser/AnalyserController.h"
#include "browser/AnalyserViewController.h"
#include "document/PaneSelection.h"
#include "document/VornDocument.h"
#include "window/VornTabbedWindowController.h"

namespace
{
AnalyserViewController *analyserPane(VornTabbedWindowController *controller)
{
    if (!controller || !controller->isWindowLoaded())
        return nullptr;
    return dynamic_cast<AnalyserViewController *>(
        controller->pane(VornTabbedWindowController::Pane::Analyser));
}
} // namespace

AnalyserRouting::AnalyserRouting(VornDocument &document, PaneSelection &panes, const VornRootClientPtr &root)
    : document_(document), panes_(panes), analyserController_(std::make_unique<AnalyserController>(root))
{
    analyserController_->setDelegate(&document_);
    analyserController_->setThreadController(document.threadController());
    analyserController_->setStatusManager(document.statusManager());
}

AnalyserRouting::~AnalyserRouting()
{
    unbindWindowPane();
}

void AnalyserRouting::bindWindowPane() const
{
    if (AnalyserViewController *pane = analyserPane(document_.vornWindowController()))
        pane->setAnalyserController(analyserController_.get());
}

void AnalyserRouting::unbindWindowPane() const
{
    AnalyserViewController *pane = analyserPane(document_.vornWindowController());
    if (pane && pane->analyserController() == analyserController_.get())
        pane->setAnalyserController(nullptr);
}

void AnalyserRouting::showAnalysis(const QVariantMap &plan)
{
    analyserController_->resetWithAnalysisInfo(plan);
    if (AnalyserViewController *pane = analyserPane(document_.vornWindowController())) {
        pane->setAnalyserController(analyserController_.get());
        pane->analyserReset();
    }
    panes_.show(ContentPane::Analyser);
}

void AnalyserRouting::offerPlanTable()
{
    if (AnalyserViewController *pane = analyserPane(document_.vornWindowController())) {
        pane->setAnalyserController(analyserController_.get());
        pane->createPlanTable(document_.windowForSheet());
    }
}
