#pragma once

#include "transfer/ExportSubViewController.h"

#include <functional>

class QLabel;
class QProgressBar;
class QPushButton;

// The last page: starts the export when first shown, shows its progress, asks where the file goes
// once the rows are written (unless they go to the clipboard) and tells the outcome.
class ExportStatusViewController : public ExportSubViewController
{
public:
    // Asks the user for the destination file of a type; an empty answer declines.
    using DestinationChooser = std::function<QString(QWidget *parent, const QString &fileType)>;

    ExportStatusViewController();

    void updateInterface() override;
    // The run has ended: finished, cancelled or failed.
    bool canContinue() const override;
    void cancelExport();
    void setDestinationChooser(DestinationChooser chooser) { chooseDestination_ = std::move(chooser); }

    QLabel *statusMessage() const { return statusMessage_; }
    QProgressBar *progress() const { return progress_; }
    QPushButton *cancelButton() const { return cancelButton_; }

private:
    void serveDestination();

    QLabel *statusMessage_ = nullptr;
    QProgressBar *progress_ = nullptr;
    QPushButton *cancelButton_ = nullptr;
    DestinationChooser chooseDestination_;
    // The destination of a run is asked for once, however many updates arrive meanwhile.
    bool destinationAsked_ = false;
};
