#include "transfer/ImportStatusViewController.h"

#include "editor/SQLTextView.h"
#include "platform/Preferences.h"
#include "platform/UserDefaults.h"
#include "transfer/ImportController.h"
#include "transfer/TransferLog.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace
{
QString text(const char *key)
{
    return QCoreApplication::translate("export", key);
}

QFont resultFont()
{
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    const qint64 size = UserDefaults::standard().integerForKey(PreferenceKey::syntaxFontSize);
    if (size > 0)
        font.setPointSize(int(size));
    return font;
}
} // namespace

ImportStatusViewController::ImportStatusViewController()
{
    auto *view = new QWidget;
    auto *layout = new QVBoxLayout(view);
    headerText_ = new QLabel;
    headerText_->setWordWrap(true);
    layout->addWidget(headerText_);

    statusView_ = new QWidget;
    auto *status = new QVBoxLayout(statusView_);
    status->setContentsMargins(0, 0, 0, 0);
    statusMessage_ = new QLabel;
    statusMessage_->setWordWrap(true);
    statusMessage_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // Room for the three lines of the counts, so the page does not jump as it reports.
    statusMessage_->setMinimumSize(420, 3 * statusMessage_->fontMetrics().lineSpacing());
    progress_ = new QProgressBar;
    progress_->setTextVisible(false);
    cancelButton_ = new QPushButton(QCoreApplication::translate("importer", "Stop Import"));
    status->addWidget(statusMessage_);
    status->addWidget(progress_);
    status->addWidget(cancelButton_, 0, Qt::AlignRight);
    layout->addWidget(statusView_);

    resultView_ = new QWidget;
    auto *result = new QVBoxLayout(resultView_);
    result->setContentsMargins(0, 0, 0, 0);
    resultSqlView_ = new SQLTextView;
    resultSqlView_->setReadOnly(true);
    result->addWidget(resultSqlView_, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    auto *insert = new QPushButton(QCoreApplication::translate("importer", "Insert into SQL Editor"));
    auto *copy = new QPushButton(QCoreApplication::translate("importer", "Copy to Clipboard"));
    buttons->addWidget(copy);
    buttons->addWidget(insert);
    result->addLayout(buttons);
    resultView_->hide();
    layout->addWidget(resultView_, 1);
    layout->addStretch();

    QObject::connect(cancelButton_, &QPushButton::clicked, view, [this] { cancel(); });
    QObject::connect(insert, &QPushButton::clicked, view, [this] { insertIntoEditor(); });
    QObject::connect(copy, &QPushButton::clicked, view, [this] { copyToClipboard(); });
    setView(view);
}

void ImportStatusViewController::updateInterface()
{
    ImportController &controller = *importController_;
    const qint64 state = controller.state();
    const auto counts = [&](const QString &first) {
        return QStringLiteral("%1\n%2\n%3")
            .arg(first, text("Imported rows: %1").arg(controller.rowsImported()),
                 text("Errors: %1").arg(controller.rowsNotImported()));
    };
    switch (state) {
    case ImportController::Idle:
        qCDebug(lcTransfer) << "statusview updateInterface called";
        statusMessage_->setText(text("Idle"));
        setStatusView();
        controller.beginImport();
        break;
    case ImportController::Starting:
        statusMessage_->setText(text("Preparing import"));
        setStatusView();
        break;
    case ImportController::Running:
        statusMessage_->setText(counts(text("Importing")));
        setStatusView();
        break;
    case ImportController::Completed:
        statusMessage_->setText(counts(text("Finished import")));
        setResultView();
        break;
    case ImportController::CompletedWithRefusals:
        statusMessage_->setText(counts(text("Finished import with errors")));
        setResultView();
        break;
    case ImportController::Stopped:
        statusMessage_->setText(counts(text("Import stopped")));
        setResultView();
        break;
    case ImportController::Failed:
        // A failed start is told, never left looking like a run that is still going.
        statusMessage_->setText(text("Error: %1").arg(controller.errorMessage()));
        break;
    default:
        break;
    }
    const qint64 current = controller.state();
    headerText_->setText(heading(current));
    const bool busy = current >= ImportController::Starting && current < ImportController::Completed;
    progress_->setRange(0, busy ? 0 : 1);
    progress_->setValue(busy ? 0 : 1);
    cancelButton_->setEnabled(current == ImportController::Running);
}

QString ImportStatusViewController::heading(qint64 state)
{
    // Sentences beside the counts' first line, which names the outcome in a word.
    const auto sentence = [](const char *text) { return QCoreApplication::translate("importer", text); };
    switch (state) {
    case ImportController::Completed:
        return sentence("Vorn has imported the data.");
    case ImportController::CompletedWithRefusals:
        return sentence("Vorn has imported the data; the database refused some rows.");
    case ImportController::Stopped:
        return sentence("The import was stopped.");
    case ImportController::Failed:
        return sentence("Vorn could not import the data.");
    default:
        return sentence("Vorn is importing the data.");
    }
}

void ImportStatusViewController::setStatusView()
{
    cancelButton_->show();
    resultView_->hide();
    headerText_->show();
}

void ImportStatusViewController::setResultView()
{
    resultSqlView_->setFont(resultFont());
    cancelButton_->hide();
    // A direct import without refused rows has nothing to show.
    if (importController_->importResultErrorLog().isEmpty() &&
        !importController_->importOptions().importToSql)
        return;
    headerText_->hide();
    resultView_->show();
    setLogMessage();
}

void ImportStatusViewController::setLogMessage()
{
    resultSqlView_->setPlainText(resultText());
    resultSqlView_->setFont(resultFont());
}

QString ImportStatusViewController::resultText() const
{
    const QString errors = importController_->importResultErrorLog();
    return errors.isEmpty() ? importController_->importResultLog() : errors;
}

bool ImportStatusViewController::canContinue() const
{
    const qint64 state = importController_->state();
    return state == ImportController::Completed || state == ImportController::CompletedWithRefusals ||
           state == ImportController::Failed || state == ImportController::Stopped;
}

void ImportStatusViewController::cancel()
{
    if (importController_->state() == ImportController::Running)
        importController_->cancelImport();
}

void ImportStatusViewController::insertIntoEditor()
{
    importController_->insertSql(resultText());
    if (delegate_)
        delegate_->importStatusViewControllerWantsToClose(this);
}

void ImportStatusViewController::copyToClipboard()
{
    auto *data = new QMimeData;
    data->setText(resultText());
    QGuiApplication::clipboard()->setMimeData(data);
    if (delegate_)
        delegate_->importStatusViewControllerWantsToClose(this);
}
