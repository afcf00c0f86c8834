#include "transfer/PrintPreparation.h"

#include "client/BackgroundRunner.h"
#include "connection/ConnectedController.h"
#include "status/StatusManager.h"
#include "transfer/PrintPreparationSheet.h"
#include "transfer/PrintView.h"

#include <QCoreApplication>
#include <QMetaObject>

namespace
{

QString printingText(const char *text)
{
    return QCoreApplication::translate("printing", text);
}

} // namespace

PrintPreparation::PrintPreparation(ConnectedController &controller, std::shared_ptr<PrintView> view,
                                   QWidget *window)
    : controller_(controller), view_(std::move(view)), window_(window),
      lane_(std::make_shared<BackgroundLane>())
{
}

PrintPreparation::~PrintPreparation()
{
    lane_->cancel();
    delete sheet_;
}

bool PrintPreparation::start()
{
    if (!controller_.requestRootReservation(printingText("Printing data")))
        return false;
    if (const auto status = controller_.statusManager())
        status->setActiveConnectionStatus(printingText("Preparing print operation"));
    sheet_ = new PrintPreparationSheet(window_);
    connect(sheet_, &PrintPreparationSheet::cancelRequested, this, [this] {
        // The worker stops before its next row; the sheet goes at once.
        cancelled_ = true;
        lane_->cancel();
        if (sheet_)
            sheet_->hide();
    });
    sheet_->show();

    BackgroundJob job;
    job.threadName = QStringLiteral("Print Preparation");
    job.lane = lane_;
    QPointer<PrintPreparation> self(this);
    std::shared_ptr<PrintView> view = view_;
    job.work = [view, self](const WorkerControl &control) {
        view->prepare(control, [self](qint64 rows) {
            QMetaObject::invokeMethod(
                qApp,
                [self, rows] {
                    if (self)
                        self->progressed(rows);
                },
                Qt::QueuedConnection);
        });
    };
    // Written on the worker, read on the main thread after it ended.
    auto failure = std::make_shared<QString>();
    job.failed = [failure](const QString &message) {
        *failure = message.isEmpty() ? printingText("Vorn was unable to prepare the printjob") : message;
    };
    job.done = [self, failure] {
        if (!self)
            return;
        const bool failed = !failure->isEmpty();
        const bool cancelled = self->cancelled_ || failed;
        if (const auto status = self->controller_.statusManager()) {
            status->setConnectionStatus(cancelled ? printingText("Print job cancelled")
                                                  : printingText("Print job prepared"));
            if (failed)
                status->runErrorWithTitle(printingText("Print error"), *failure);
        }
        if (self->sheet_)
            self->sheet_->hide();
        if (cancelled)
            emit self->cancelled();
        else
            emit self->prepared();
    };
    controller_.runReserved(std::move(job));
    return true;
}

void PrintPreparation::progressed(qint64 rows)
{
    if (sheet_)
        sheet_->showLoaded(rows);
}
