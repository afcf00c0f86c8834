// The edit side of the result-set model: row edits, new and copied rows, and removals by primary key.
#include "resultset/ResultsetController.h"

#include "platform/MainThread.h"
#include "resultset/ResultsetControllerDelegate.h"
#include "status/StatusManager.h"

#include <QCoreApplication>
#include <QTimer>

#include <limits>

namespace
{
QString text(const char *key)
{
    return QCoreApplication::translate("resultset", key);
}

QString activity(const char *key)
{
    return QCoreApplication::translate("activity", key);
}

// Row numbers cross to the backend as 32-bit integers.
bool fitsRow(qint64 row)
{
    return row >= 1 && row <= std::numeric_limits<qint32>::max();
}

// A removal shrinks a thinner result than this: more rows are fetched so the grid fills up again.
const qint32 refillBelowRows = 50;
const int refillDelayMilliseconds = 500;
} // namespace

void ResultsetController::forgetReadRow() const
{
    lastRow_.reset();
}

void ResultsetController::endedEdit()
{
    editingRowNumber_ = -1;
    editedValues_.clear();
    forgetReadRow();
}

bool ResultsetController::shouldEditColumn(const QString &columnName, qint64 row) const
{
    const VornResultsetPtr resultset = vornResultset();
    if (!resultset || vornRoot()->reserved() || !fitsRow(row))
        return false;
    return resultset->canStartEditing(columnName, qint32(row));
}

bool ResultsetController::shouldEditRow(qint64 row) const
{
    const VornResultsetPtr resultset = vornResultset();
    if (!resultset || vornRoot()->reserved() || !fitsRow(row))
        return false;
    return resultset->canStartEditingRow(qint32(row));
}

void ResultsetController::setValueOfColumn(const QString &columnName, qint64 row, const QString &value)
{
    const VornResultsetPtr resultset = vornResultset();
    if (!resultset || !fitsRow(row) || !resultset->editing() || resultset->editingOnRow() != row)
        return;
    editingRowNumber_ = row;
    editedValues_.insert(columnName, value);
    resultset->setValueForColumnOnRow(columnName, qint32(row), value);
}

bool ResultsetController::shouldEndEdit()
{
    const VornResultsetPtr resultset = vornResultset();
    if (!resultset || !resultset->editing())
        return true;
    if (!resultset->hasADirtyEdit()) {
        resultset->cancel();
        endedEdit();
        return true;
    }
    if (!requestRootReservation(activity("Updating table")))
        return false;
    StatusManager *status = statusManager().get();
    if (status)
        status->setActiveConnectionStatus(text("Updating resultset"));
    resultset->canEndEditing(qint32(resultset->editingOnRow()));
    const BackendOutcome outcome = vornRoot()->lastOutcome();
    if (outcome) {
        endedEdit();
        if (status)
            status->setConnectionStatus(text("Resultset updated successfully"));
    } else {
        const QString message = outcome.errorMessage == QLatin1String("INVALID_INPUT")
                                    ? text("You've entered an invalid value.")
                                    : outcome.errorMessage;
        if (status) {
            status->runErrorWithTitle(
                text("Database error"),
                QStringLiteral("%1\n%2").arg(text("Couldn't update the resultset."), message));
            status->setConnectionStatus(text("Error updating resultset"), message);
        }
    }
    releaseRootReservation();
    return outcome.successful;
}

bool ResultsetController::cancel()
{
    const VornResultsetPtr resultset = vornResultset();
    if (!resultset)
        return false;
    const bool cancelled = resultset->cancel();
    if (cancelled)
        endedEdit();
    return cancelled;
}

qint64 ResultsetController::addRecordAtRow(qint64 row)
{
    const VornResultsetPtr resultset = vornResultset();
    if (!resultset || vornRoot()->reserved() || !fitsRow(row) || !requestFocusChange())
        return -1;
    resultset->addRow(qint32(row));
    if (!vornRoot()->lastActionSuccessful())
        return -1;
    editingRowNumber_ = resultset->editingOnRow();
    editedValues_.clear();
    forgetReadRow();
    return editingRowNumber_;
}

qint64 ResultsetController::duplicateRowAt(qint64 row)
{
    const VornResultsetPtr resultset = vornResultset();
    if (!resultset || !fitsRow(row))
        return -1;
    const QVariantMap source = resultset->rowValues(qint32(row));
    if (addRecordAtRow(row) < 0)
        return -1;
    // Large objects and the key are left empty: a copied key (generated or typed) is refused as a
    // duplicate, and a large object is not copied by its cell's text.
    const QStringList key = resultset->primaryKeyColumnNames();
    for (const QString &name : resultset->columnNames()) {
        if (source.contains(name) && !columnIsBlob(name) && !key.contains(name))
            setValueOfColumn(name, editingRowNumber_, source.value(name).toString());
    }
    return editingRowNumber_;
}

void ResultsetController::removeRecordAtRows(const QList<qint64> &rows)
{
    const VornResultsetPtr resultset = vornResultset();
    if (!resultset || rows.isEmpty())
        return;
    ResultsetControllerDelegate *delegate = resultsetDelegate();
    if (resultset->adding()) {
        // A new row is not in the database yet: dropping it is the whole removal.
        const qint64 added = resultset->editingOnRow();
        if (delegate)
            delegate->resultsetWillUpdate();
        resultset->cancel();
        endedEdit();
        if (delegate)
            delegate->resultSetRemovedRowAt(added);
        return;
    }
    if (!requestFocusChange())
        return;
    endedEdit();
    if (!requestRootReservation(activity("Removing record(s)")))
        return;
    removeRowsInBackground(resultset, rows);
}

void ResultsetController::removeRowsInBackground(const VornResultsetPtr &resultset, const QList<qint64> &rows)
{
    Q_ASSERT_X(statusManager(), "ResultsetController", "A removal needs the document's status manager");
    struct Removal {
        QList<qint64> removed;
        bool failed = false;
    };
    auto removal = std::make_shared<Removal>();
    QList<qint64> ordered = rows;
    std::sort(ordered.begin(), ordered.end());
    ordered.erase(std::unique(ordered.begin(), ordered.end()), ordered.end());
    BackgroundJob job;
    job.threadName = QStringLiteral("ResultsetController._removeRecordAtRows");
    job.work = [removal, resultset, ordered, root = vornRoot(),
                status = statusManager()](const WorkerControl &) {
        status->setActiveConnectionStatus(text("Removing record(s)"));
        // Each removal moves the later rows up by one.
        for (qsizetype k = 0; k < ordered.size(); ++k) {
            const qint64 row = ordered[k] - k;
            if (!fitsRow(row)) {
                removal->failed = true;
                break;
            }
            resultset->removeRow(qint32(row));
            const BackendOutcome outcome = root->lastOutcome();
            if (!outcome) {
                removal->failed = true;
                status->runErrorWithTitle(
                    text("Database error"),
                    QStringLiteral("%1\n%2").arg(text("Couldn't remove record."), outcome.errorMessage));
                status->setConnectionStatus(text("Error removing record"), outcome.errorMessage);
                return;
            }
            removal->removed.append(row);
        }
        if (!removal->failed)
            status->setConnectionStatus(text("Records removed successfully"));
    };
    job.failed = [removal, status = statusManager()](const QString &message) {
        removal->failed = true;
        status->setConnectionStatus(text("Error removing record"), message);
    };
    job.done = [this, removal] {
        forgetReadRow();
        if (ResultsetControllerDelegate *delegate = resultsetDelegate()) {
            for (const qint64 row : removal->removed) {
                delegate->resultsetWillUpdate();
                delegate->resultSetRemovedRowAt(row);
            }
            if (removal->failed)
                delegate->resultsetCancelledUpdate();
        }
        touchPreloadAfterRemoval();
    };
    runReserved(std::move(job));
}

void ResultsetController::touchPreloadAfterRemoval()
{
    QTimer::singleShot(refillDelayMilliseconds, timerContext_.get(), [this] {
        const VornResultsetPtr resultset = vornResultset();
        if (resultset && resultset->rowCount() <= refillBelowRows)
            willDisplayRange(10, std::numeric_limits<qint64>::max());
    });
}
