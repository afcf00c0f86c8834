#pragma once

#include "client/VornRootClient.h"

#include <QVariantMap>

#include <memory>

class AnalyserController;
class PaneSelection;
class VornDocument;

// The document's execution plans: the model of the analyser pane, shown when an explain brings a plan,
// and the offer to create the plan table when the database lacks it.
class AnalyserRouting
{
public:
    AnalyserRouting(VornDocument &document, PaneSelection &panes, const VornRootClientPtr &root);
    AnalyserRouting(const AnalyserRouting &) = delete;
    AnalyserRouting &operator=(const AnalyserRouting &) = delete;
    ~AnalyserRouting();

    AnalyserController *analyserController() const { return analyserController_.get(); }
    void bindWindowPane() const;
    void unbindWindowPane() const;
    void showAnalysis(const QVariantMap &plan);
    void offerPlanTable();

private:
    VornDocument &document_;
    PaneSelection &panes_;
    std::unique_ptr<AnalyserController> analyserController_;
};
