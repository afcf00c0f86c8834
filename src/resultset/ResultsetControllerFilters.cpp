#include "client/VornBrowserClient.h"
#include "resultset/ResultsetController.h"
#include "resultset/ResultsetControllerDelegate.h"
#include "status/StatusManager.h"

#include <QCoreApplication>

// Quick filters, sorts and their clearing: each loads the object's rows again through the backend
// browser on a worker thread, holding the root. One such load runs at a time (filtering_).

namespace
{
const QString customFilterColumn = QStringLiteral("__CUSTOM_FILTER__");
// How soon a request the busy root refused is tried again.
const int retryMilliseconds = 200;

QString text(const char *table, const char *key)
{
    return QCoreApplication::translate(table, key);
}

bool isNullTest(const QString &operatorCode)
{
    return operatorCode == QLatin1String("IS NULL") || operatorCode == QLatin1String("NOT IS NULL");
}

// The final status of a load that replaced the rows. Worker thread.
void reportLoaded(StatusManager &status, const VornRootClient &root)
{
    const VornResultsetPtr resultset = root.resultset();
    const QString table = resultset ? resultset->tableName() : QString();
    status.setConnectionStatus(table.isNull()
                                   ? text("resultset", "Resultset loaded successfully")
                                   : text("resultset", "%1, Resultset loaded successfully").arg(table));
}

// A failed sort or clear: the alert and the status. Worker thread.
void reportReadFailure(StatusManager &status, const QString &message)
{
    status.runErrorWithTitle(
        text("resultset", "Database error"),
        QStringLiteral("%1\n%2").arg(
            text("resultset", "A database error occurred while reading from the resultset."), message));
    status.setConnectionStatus(text("resultset", "Error loading resultset"), message);
}
} // namespace

void ResultsetController::updateQuickFilterWithColumns(const QVariantList &columns,
                                                       const QVariantList &operators,
                                                       const QVariantList &values)
{
    updateQuickFilter({columns, operators, values});
}

void ResultsetController::updateQuickFilter(const QuickFilterRequest &request)
{
    const QVariantList currentOperators = quickFilterColumnOperators();
    const bool sameLayout = request.columns == quickFilterColumnColumns() &&
                            (request.operators == currentOperators ||
                             (request.operators.size() == 1 && currentOperators == QVariantList{QString()}));
    if (filtering_) {
        desiredFilter_ = request;
        return;
    }
    // A change of values alone keeps the cell edit that is typing them.
    if (!requestFocusChangeEndEditing(management_ ? false : !sameLayout)) {
        desiredFilter_ = request;
        return;
    }
    if (!requestRootReservation(text("activity", "Filtering resultset"))) {
        desiredFilter_ = request;
        retryWhenRootIsFree();
        return;
    }
    filtering_ = true;
    runFilter(request);
}

void ResultsetController::checkForFilterUpdate()
{
    if (!desiredFilter_)
        return;
    // Taken first: a request queued again while this one starts waits for its turn.
    const QuickFilterRequest request = *desiredFilter_;
    desiredFilter_.reset();
    updateQuickFilter(request);
}

void ResultsetController::retryWhenRootIsFree()
{
    if (!filterRetry_) {
        filterRetry_ = std::make_unique<QTimer>();
        filterRetry_->setSingleShot(true);
        filterRetry_->setInterval(retryMilliseconds);
        QObject::connect(filterRetry_.get(), &QTimer::timeout, filterRetry_.get(), [this] {
            if (!desiredFilter_ || filtering_)
                return;
            if (vornRoot()->reserved())
                filterRetry_->start();
            else
                checkForFilterUpdate();
        });
    }
    filterRetry_->start();
}

void ResultsetController::runFilter(const QuickFilterRequest &request)
{
    Q_ASSERT_X(statusManager(), "ResultsetController", "A filter needs the document's status manager");
    struct Filtered {
        bool loaded = false;
        bool valid = false;
        VornResultsetPtr resultset;
    };
    auto filtered = std::make_shared<Filtered>();
    {
        std::lock_guard lock(mutex_);
        quickFilterColumnColumns_ = request.columns;
        quickFilterColumnOperators_ = request.operators;
        quickFilterColumnValues_ = request.values;
    }
    const bool checked = management_ || filterValidityCheck();
    BackgroundJob job;
    job.threadName = QStringLiteral("ResultController.updateFilter");
    job.work = [filtered, request, checked, root = vornRoot(),
                status = statusManager()](const WorkerControl &) {
        if (!checked) {
            status->setConnectionStatus(text("browser", "QuickFilter is invalid"));
            return;
        }
        const std::shared_ptr<VornBrowserClient> browser = root->browser();
        if (!browser ||
            !browser->needsUpdateForQuickFilter(request.columns, request.operators, request.values))
            return;
        status->setActiveConnectionStatus(text("browser", "Filtering resultset"));
        browser->updateQuickFilter(request.columns, request.operators, request.values);
        const BackendOutcome outcome = root->lastOutcome();
        filtered->loaded = true;
        filtered->valid = outcome.successful;
        if (outcome) {
            filtered->resultset = root->resultset();
            reportLoaded(*status, *root);
        } else {
            // The backend shows the rows of the last accepted filter again, when it could read them.
            filtered->resultset = root->resultset();
            status->setConnectionStatus(text("browser", "QuickFilter is invalid"), outcome.errorMessage);
        }
    };
    job.failed = [filtered, status = statusManager()](const QString &message) {
        filtered->loaded = true;
        status->setConnectionStatus(text("browser", "QuickFilter is invalid"), message);
    };
    job.done = [this, filtered] {
        if (filtered->loaded) {
            quickFilterValid_ = filtered->valid;
            if (filtered->resultset)
                setVornResultset(filtered->resultset);
            if (ResultsetControllerDelegate *delegate = resultsetDelegate()) {
                delegate->resultsetHasBeenUpdated();
                delegate->resultsetQuickFilterOrSortHasBeenUpdated();
            }
        }
        filtering_ = false;
        checkForFilterUpdate();
    };
    runReserved(std::move(job));
}

bool ResultsetController::filterValidityCheck() const
{
    const QVariantList columns = quickFilterColumnColumns();
    const QVariantList operators = quickFilterColumnOperators();
    const QVariantList values = quickFilterColumnValues();
    for (qsizetype i = 0; i < columns.size(); ++i) {
        if (!verifyFilterForColumn(columns[i].toString(), values.value(i).toString(),
                                   operators.value(i).toString()))
            return false;
    }
    return true;
}

bool ResultsetController::verifyFilterForColumn(const QString &columnName, const QString &value,
                                                const QString &operatorCode) const
{
    for (const QVariant &entry : quickFilterColumnInfo()) {
        const QVariantMap column = entry.toMap();
        if (column.value(QStringLiteral("name")).toString() == columnName)
            return verifyFilterForColumn(columnName, value, operatorCode,
                                         column.value(QStringLiteral("type")).toString());
    }
    return false;
}

bool ResultsetController::verifyFilterForColumn(const QString &, const QString &value,
                                                const QString &operatorCode, const QString &type) const
{
    if (isNullTest(operatorCode))
        return true;
    if (type != QLatin1String("N") && type != QLatin1String("D"))
        return true;
    const std::shared_ptr<VornBrowserClient> browser = vornRoot()->browser();
    if (!browser)
        return true;
    return type == QLatin1String("N") ? browser->isNumberCompleteOrEmpty(value)
                                      : browser->isTimestampCompleteOrEmpty(value);
}

bool ResultsetController::disableQuickFilter() const
{
    if (management_)
        return managementConfig().value(QStringLiteral("hideFilter")).toBool();
    const std::shared_ptr<VornBrowserClient> browser =
        vornRoot()->hasConnection() ? vornRoot()->browser() : nullptr;
    return !browser || browser->name().isNull();
}

QString ResultsetController::filterAsQuery() const
{
    const std::shared_ptr<VornBrowserClient> browser = vornRoot()->browser();
    if (!browser)
        return QString();
    const QString filter = browser->filter();
    return filter.isNull() ? browser->lastFilterUsedForQuickFilter() : filter;
}

QString ResultsetController::queryPartForColumn(const QString &columnName, const QString &value,
                                                const QString &operatorCode) const
{
    const VornResultsetPtr resultset = vornResultset();
    return resultset ? resultset->queryPartForColumnValueAndOperator(columnName, value, operatorCode)
                     : QString();
}

QString ResultsetController::queryPartForUniqueObjectValuesForColumn(const QString &columnName,
                                                                     const QList<qint64> &rows,
                                                                     bool negative) const
{
    const VornResultsetPtr resultset = vornResultset();
    if (!resultset)
        return QString();
    const QVariantList values = uniqueObjectValuesForColumn(columnName, rows);
    if (values.size() > 1) {
        QStringList texts;
        for (const QVariant &value : values)
            texts.append(value.toString());
        return resultset->inQueryForColumnAndValues(columnName, texts, negative);
    }
    return resultset->queryPartForColumnAndValue(
        columnName, values.isEmpty() ? QString() : values[0].toString(), negative);
}

QString ResultsetController::customFilterForColumn(const QString &columnName, const QStringList &values,
                                                   bool negative) const
{
    const VornResultsetPtr resultset = vornResultset();
    return resultset ? resultset->inQueryForColumnAndValues(columnName, values, negative) : QString();
}

void ResultsetController::newDocumentFor(const ExtendedFilterPtr &filter, const BrowserElementPtr &element,
                                         bool newWindow)
{
    if (ResultsetControllerDelegate *delegate = resultsetDelegate())
        delegate->resultSetRequestsNewDocumentForUpdatedFilter(filter, element, newWindow);
}

QList<VornSort> ResultsetController::sortAdding(QList<VornSort> sort, const QString &columnName, int order)
{
    const VornSort added{columnName, order == 2 ? QStringLiteral("DESC") : QStringLiteral("ASC")};
    for (qsizetype i = 0; i < sort.size(); ++i) {
        if (sort[i].name == columnName) {
            sort.removeAt(i);
            break;
        }
    }
    sort.append(added);
    return sort;
}

bool ResultsetController::maySortOrClear()
{
    return !disableQuickFilter() && !filtering_ && requestFocusChange();
}

void ResultsetController::addQuickSort(const QString &columnName, int order)
{
    if (maySortOrClear() && requestRootReservation(text("activity", "Sorting results")))
        runSort(sortAdding(quickSortColumns(), columnName, order));
}

void ResultsetController::setQuickSort(const QString &columnName, int order)
{
    if (maySortOrClear() && requestRootReservation(text("activity", "Sorting results")))
        runSort(sortAdding({}, columnName, order));
}

void ResultsetController::setQuickSort(const QList<VornSort> &sort)
{
    if (maySortOrClear() && requestRootReservation(text("activity", "Sorting results")))
        runSort(sort);
}

void ResultsetController::clearQuickSort()
{
    if (maySortOrClear() && requestRootReservation(text("activity", "Sorting results")))
        runSort({});
}

void ResultsetController::runSort(const QList<VornSort> &sort)
{
    Q_ASSERT_X(statusManager(), "ResultsetController", "A sort needs the document's status manager");
    filtering_ = true;
    auto sorted = std::make_shared<VornResultsetPtr>();
    BackgroundJob job;
    job.threadName = QStringLiteral("ResultController.updateSort");
    job.work = [sorted, sort, root = vornRoot(), status = statusManager()](const WorkerControl &) {
        status->setActiveConnectionStatus(text("browser", "Sorting resultset"));
        const std::shared_ptr<VornBrowserClient> browser = root->browser();
        if (browser)
            browser->updateSort(sort);
        const BackendOutcome outcome =
            browser ? root->lastOutcome() : BackendOutcome::failure(root->lastErrorMessage());
        if (!outcome) {
            reportReadFailure(*status, outcome.errorMessage);
            return;
        }
        *sorted = root->resultset();
        reportLoaded(*status, *root);
    };
    job.failed = [status = statusManager()](const QString &message) { reportReadFailure(*status, message); };
    job.done = [this, sorted] {
        if (*sorted) {
            setVornResultset(*sorted);
            if (ResultsetControllerDelegate *delegate = resultsetDelegate()) {
                delegate->resultsetHasBeenUpdated();
                delegate->resultsetQuickFilterOrSortHasBeenUpdated();
            }
        }
        filtering_ = false;
        checkForFilterUpdate();
    };
    runReserved(std::move(job));
}

void ResultsetController::clearFilterAndSort()
{
    if (maySortOrClear() && requestRootReservation(text("activity", "Clearing filter")))
        runClear();
}

void ResultsetController::runClear()
{
    Q_ASSERT_X(statusManager(), "ResultsetController", "Clearing needs the document's status manager");
    filtering_ = true;
    auto cleared = std::make_shared<bool>(false);
    BackgroundJob job;
    job.threadName = QStringLiteral("ResultController._clearFilterAndSort");
    job.work = [cleared, root = vornRoot(), status = statusManager()](const WorkerControl &) {
        status->setActiveConnectionStatus(text("browser", "Clearing sort and filter"));
        const std::shared_ptr<VornBrowserClient> browser = root->browser();
        if (browser)
            browser->updateFilterAndSort(QString(), {});
        const BackendOutcome outcome =
            browser ? root->lastOutcome() : BackendOutcome::failure(root->lastErrorMessage());
        if (!outcome) {
            reportReadFailure(*status, outcome.errorMessage);
            return;
        }
        *cleared = true;
        reportLoaded(*status, *root);
    };
    job.failed = [status = statusManager()](const QString &message) { reportReadFailure(*status, message); };
    // The conditions are read back from the backend either way: a failed clear leaves the bar showing
    // what still filters the rows, not an empty bar over filtered rows.
    job.done = [this, cleared] {
        filtering_ = false;
        if (*cleared) {
            resetResultsetFromRoot();
            if (ResultsetControllerDelegate *delegate = resultsetDelegate())
                delegate->resultsetHasBeenReset();
        }
        checkForFilterUpdate();
    };
    runReserved(std::move(job));
}
