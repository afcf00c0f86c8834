#include "transfer/ExportStatusViewController.h"

#include "transfer/ExportController.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace
{
QString tr(const char *text)
{
    return QCoreApplication::translate("export", text);
}

QString askForDestination(QWidget *parent, const QString &fileType)
{
    QFileDialog dialog(parent, tr("Select Destination"));
    dialog.setLabelText(QFileDialog::LookIn, tr("Select where Vorn should store the exported data."));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(fileType);
    dialog.setNameFilter(QStringLiteral("*.%1").arg(fileType));
    dialog.selectFile(QStringLiteral("export.%1").arg(fileType));
    return dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()
               ? dialog.selectedFiles().first()
               : QString();
}
} // namespace

ExportStatusViewController::ExportStatusViewController() : chooseDestination_(askForDestination)
{
    auto *view = new QWidget;
    auto *layout = new QVBoxLayout(view);
    statusMessage_ = new QLabel;
    statusMessage_->setWordWrap(true);
    statusMessage_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // Room for the two lines of the outcome and a file name, so the page does not jump as it reports.
    statusMessage_->setMinimumSize(420, 3 * statusMessage_->fontMetrics().lineSpacing());
    progress_ = new QProgressBar;
    progress_->setTextVisible(false);
    cancelButton_ = new QPushButton(tr("Cancel Export"));
    layout->addWidget(statusMessage_);
    layout->addWidget(progress_);
    layout->addWidget(cancelButton_, 0, Qt::AlignRight);
    layout->addStretch();
    QObject::connect(cancelButton_, &QPushButton::clicked, view, [this] { cancelExport(); });
    setView(view);
}

void ExportStatusViewController::updateInterface()
{
    ExportController &controller = *exportController_;
    const qint64 state = controller.state();
    const qint64 count = controller.exportedCount();
    switch (state) {
    case ExportStateIdle:
        statusMessage_->setText(tr("Idle"));
        destinationAsked_ = false;
        controller.beginExport();
        break;
    case ExportStatePreparing:
        statusMessage_->setText(tr("Preparing export"));
        break;
    case ExportStateExporting:
        statusMessage_->setText(count >= 1 ? tr("Exporting, %1 records").arg(count) : tr("Exporting"));
        break;
    case ExportStateExported:
        statusMessage_->setText(tr("Finishing export"));
        serveDestination();
        break;
    case ExportStateFinishing:
        statusMessage_->setText(tr("Finishing export"));
        break;
    case ExportStateFinished: {
        if (count < 1) {
            statusMessage_->setText(tr("Finished"));
            break;
        }
        const QString where = controller.exportOptions().exportToClipboard
                                  ? tr("The results have been placed on the clipboard")
                                  : tr("The results have been stored in %1")
                                        .arg(QFileInfo(controller.selectedFileURL()).fileName());
        statusMessage_->setText(
            QStringLiteral("%1\n%2").arg(tr("Finished, exported %1 records").arg(count), where));
        break;
    }
    case ExportStateCancelled:
        statusMessage_->setText(tr("Export cancelled"));
        break;
    case ExportStateError:
        statusMessage_->setText(tr("Error: %1").arg(controller.errorMessage()));
        break;
    default:
        statusMessage_->setText(QStringLiteral("UNKNOWN STATUS %1").arg(state));
    }
    const qint64 current = controller.state();
    const bool busy = current >= ExportStatePreparing && current <= 15;
    progress_->setRange(0, busy ? 0 : 1);
    progress_->setValue(busy ? 0 : 1);
    cancelButton_->setEnabled(current == ExportStateExporting || current == ExportStateFinishing);
}

void ExportStatusViewController::serveDestination()
{
    if (destinationAsked_)
        return;
    destinationAsked_ = true;
    ExportController &controller = *exportController_;
    if (controller.exportOptions().exportToClipboard) {
        controller.finishExport();
        return;
    }
    const QString file = chooseDestination_(view(), controller.preferredFileType());
    if (file.isEmpty()) {
        controller.cancelExport();
        if (delegate_)
            delegate_->exportSubViewControllerRequestCancel(this);
        return;
    }
    controller.setSelectedFileURL(file);
    controller.finishExport();
}

bool ExportStatusViewController::canContinue() const
{
    const qint64 state = exportController_->state();
    return state == ExportStateFinished || state == ExportStateCancelled || state == ExportStateError;
}

void ExportStatusViewController::cancelExport()
{
    exportController_->cancelExport();
}
