#pragma once

#include "window/PaneViewController.h"

#include <QPointer>

class AnalyserController;
#include "browser/CreatePlanTable.h"
class QStandardItemModel;
class QTreeView;

// The analyser pane: the plan of the shown document as an outline, one coloured line per step, fully
// expanded. One per main window; the document's AnalyserController is given to it (null clears it).
class AnalyserViewController : public PaneViewController
{
public:
    AnalyserViewController();
    ~AnalyserViewController() override;

    AnalyserController *analyserController() const { return analyserController_; }
    void setAnalyserController(AnalyserController *controller);
    // The controller holds a new plan.
    void analyserReset();
    // Offers the sheet that creates the plan table, on the window.
    void createPlanTable(QWidget *window);
    void detachModel() override { setAnalyserController(nullptr); }
    // Per tab: where the outline was scrolled to and whether the plan's root was expanded.
    void encodeInferfaceState(QVariantMap &archive) const override;
    void decodeInferfaceState(const QVariantMap &archive) override;
    void setDefaultInterfaceState() override;

    QTreeView *outlineView() const { return outlineView_; }
    CreatePlanTable *createPlanTableSheet() const { return createPlanTable_; }

private:
    void reload();

    QTreeView *outlineView_;
    QStandardItemModel *model_;
    AnalyserController *analyserController_ = nullptr;
    QPointer<CreatePlanTable> createPlanTable_;
};
