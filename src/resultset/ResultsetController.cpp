#include "resultset/ResultsetController.h"

#include "bridge/JavaUtils.h"
#include "bridge/QoJavaBridgeException.h"
#include "bridge/ThreadController.h"
#include "kit/FormatUtils.h"
#include "platform/MainThread.h"
#include "resultset/ResultsetControllerDelegate.h"
#include "resultset/VornCellWrapper.h"
#include "status/StatusManager.h"

#include <QApplication>
#include <QCoreApplication>
#include <QLoggingCategory>

#include <algorithm>
#include <limits>
#include <thread>

namespace
{
Q_LOGGING_CATEGORY(resultsetLog, "vorn.resultset")

// Rows kept in reserve: a preload starts when the visible rows come this close to the end.
const qint64 preloadMargin = 10;
const QString managementSubtype = QStringLiteral("MANAGEMENT");
const QString customFilterColumn = QStringLiteral("__CUSTOM_FILTER__");

QString text(const char *table, const char *key)
{
    return QCoreApplication::translate(table, key);
}

qint64 saturatingAdd(qint64 a, qint64 b)
{
    qint64 sum = 0;
    if (!__builtin_add_overflow(a, b, &sum))
        return sum;
    return b > 0 ? std::numeric_limits<qint64>::max() : std::numeric_limits<qint64>::min();
}

QVariantList listFrom(const QVariant &javaValue)
{
    return JavaUtils::recursiveCollectionsFromJavaObject(javaValue).toList();
}

QString joined(const QString &sentence, const QString &message)
{
    return QStringLiteral("%1\n%2").arg(sentence, message);
}

// What a worker thread needs once it runs: it never touches the controller, which may be gone.
struct WorkerContext {
    std::shared_ptr<ThreadController> threads;
    std::shared_ptr<StatusManager> status;
    QoJavaObjectPtr root;
};

bool lastActionSuccessful(const QoJavaObjectPtr &root)
{
    return root->call("lastActionSuccessful").toBool();
}

QString lastErrorMessage(const QoJavaObjectPtr &root)
{
    return root->call("lastErrorMessage").toString();
}
} // namespace

// State shared with the worker threads. owner is touched on the main thread only and cleared when the
// controller goes, so a late hand-over finds no controller.
struct ResultsetController::Shared {
    std::atomic<bool> preloading{false};
    std::atomic<bool> filtering{false};
    ResultsetController *owner = nullptr;
};

ResultsetController::ResultsetController(QoJavaObjectPtr vornRoot)
    : ConnectedController(std::move(vornRoot)), shared_(std::make_shared<Shared>())
{
    shared_->owner = this;
}

ResultsetController::~ResultsetController()
{
    shared_->owner = nullptr;
}

ResultsetControllerDelegate *ResultsetController::resultsetDelegate() const
{
    return dynamic_cast<ResultsetControllerDelegate *>(delegate());
}

VornResultsetPtr ResultsetController::vornResultset() const
{
    std::lock_guard lock(mutex_);
    return vornResultset_;
}

void ResultsetController::setVornResultset(VornResultsetPtr resultset)
{
    std::lock_guard lock(mutex_);
    vornResultset_ = std::move(resultset);
}

QVariantList ResultsetController::quickFilterColumnInfo() const
{
    std::lock_guard lock(mutex_);
    return quickFilterColumnInfo_;
}

QVariantList ResultsetController::quickFilterColumnColumns() const
{
    std::lock_guard lock(mutex_);
    return quickFilterColumnColumns_;
}

QVariantList ResultsetController::quickFilterColumnOperators() const
{
    std::lock_guard lock(mutex_);
    return quickFilterColumnOperators_;
}

QVariantList ResultsetController::quickFilterColumnValues() const
{
    std::lock_guard lock(mutex_);
    return quickFilterColumnValues_;
}

bool ResultsetController::isPreloading() const
{
    return shared_->preloading;
}

bool ResultsetController::isFiltering() const
{
    return shared_->filtering;
}

void ResultsetController::resetResultsetFromRoot()
{
    if (!vornRoot()->call("hasConnection").toBool()) {
        setVornResultset(nullptr);
        quickFilterValid_ = false;
        return;
    }
    const VornResultsetPtr resultset = VornResultset::fromVariant(vornRoot()->call("resultset"));
    const QoJavaObjectPtr browser =
        resultset ? resultset->root()->call("browser").value<QoJavaObjectPtr>() : QoJavaObjectPtr();
    {
        std::lock_guard lock(mutex_);
        vornResultset_ = resultset;
        quickFilterColumnInfo_ = browser ? listFrom(browser->call("quickFilterColumnInfo")) : QVariantList();
        quickFilterColumnColumns_ = browser ? listFrom(browser->call("quickFilterColumns")) : QVariantList();
        quickFilterColumnOperators_ =
            browser ? listFrom(browser->call("quickFilterOperators")) : QVariantList();
        quickFilterColumnValues_ = browser ? listFrom(browser->call("quickFilterValues")) : QVariantList();
    }
    editingRowNumber_ = -1;
    quickFilterValid_ = true;
    management_ = false;
    if (ResultsetControllerDelegate *delegate = resultsetDelegate()) {
        const BrowserElementPtr element = delegate->resultsetNeedsSelectedElement();
        management_ = element && element->subtype() == managementSubtype;
    }
}

qint64 ResultsetController::numberOfRowsInResultset() const
{
    const VornResultsetPtr resultset = vornResultset();
    return resultset ? qint64(resultset->rowCount()) : 0;
}

QStringList ResultsetController::columnNames() const
{
    const VornResultsetPtr resultset = vornResultset();
    return resultset ? resultset->columnNames() : QStringList();
}

QStringList ResultsetController::columnLabels() const
{
    const VornResultsetPtr resultset = vornResultset();
    return resultset ? resultset->columnLabels() : QStringList();
}

QString ResultsetController::tableName() const
{
    const VornResultsetPtr resultset = vornResultset();
    return resultset ? resultset->tableName() : QString();
}

QString ResultsetController::resultsetDescription() const
{
    const VornResultsetPtr resultset = vornResultset();
    return resultset ? resultset->resultSetDescription() : QString();
}

QoJavaObjectPtr ResultsetController::rootBrowser() const
{
    return vornRoot()->call("browser").value<QoJavaObjectPtr>();
}

QString ResultsetController::tableSchema() const
{
    const QoJavaObjectPtr browser = rootBrowser();
    return browser ? browser->call("schema").toString() : QString();
}

QString ResultsetController::tableType() const
{
    const QoJavaObjectPtr browser = rootBrowser();
    return browser ? browser->call("type").toString() : QString();
}

QVariantMap ResultsetController::extendedResultsetDescription() const
{
    QVariantMap description;
    const QoJavaObjectPtr browser = rootBrowser();
    const QString name = browser ? browser->call("name").toString() : QString();
    if (name.isNull()) {
        const VornResultsetPtr resultset = VornResultset::fromVariant(vornRoot()->call("resultset"));
        const QString query = resultset ? resultset->selectStatement() : QString();
        if (!query.isNull())
            description.insert("query", query);
        return description;
    }
    description.insert("table", name);
    const QString filter = filterDescription(browser);
    if (!filter.isEmpty())
        description.insert("filter", filter);
    QStringList sorts;
    for (const QVariant &sort : JavaUtils::arrayFromVector(browser->call("sort").value<QoJavaObjectPtr>())) {
        const QoJavaObjectPtr sortObject = sort.value<QoJavaObjectPtr>();
        const bool ascending = sortObject->call("direction").toString() == QLatin1String("ASC");
        sorts.append(sortObject->call("name").toString() + ' ' +
                     (ascending ? text("printing", "ascending") : text("printing", "descending")));
    }
    if (!sorts.isEmpty())
        description.insert("sort", sorts.join(QStringLiteral(", ")));
    return description;
}

// The browser's free filter, else the quick-filter conditions as text. A condition without a value adds
// nothing of its own, but the separator of a later condition is still written.
QString ResultsetController::filterDescription(const QoJavaObjectPtr &browser) const
{
    const QString filter = browser->call("filter").toString();
    if (!filter.isEmpty())
        return filter;
    if (!browser->call("quickFilterValues").isValid())
        return QString();
    const QVariantList columns = quickFilterColumnColumns();
    const QVariantList operators = quickFilterColumnOperators();
    const QVariantList values = quickFilterColumnValues();
    QString description;
    for (qsizetype i = 0; i < columns.size(); ++i) {
        if (i > 0)
            description += QStringLiteral(", ");
        const QString column = columns[i].toString();
        const QString op = operators.value(i).toString();
        const QString value = values.value(i).toString();
        if (column == customFilterColumn)
            description += value;
        else if (op == QLatin1String("IS NULL") || op == QLatin1String("NOT IS NULL"))
            description += QStringLiteral("%1 %2").arg(column, op);
        else if (!value.isEmpty())
            description += QStringLiteral("%1 %2 %3").arg(column, op, value);
    }
    return description;
}

bool ResultsetController::wantsMoreRows(qint64 location, qint64 length, qint64 rowCount)
{
    return saturatingAdd(location, length) > saturatingAdd(rowCount, -preloadMargin);
}

void ResultsetController::willDisplayRange(qint64 location, qint64 length)
{
    if (isPreloading() || isFiltering())
        return;
    const VornResultsetPtr resultset = vornResultset();
    if (!resultset || vornRoot()->call("reserved").toBool() || resultset->fullyLoaded())
        return;
    if (!wantsMoreRows(location, length, resultset->rowCount()))
        return;
    if (!requestRootReservation(text("activity", "Loading more results")))
        return;
    shared_->preloading = true;
    preload(resultset);
}

void ResultsetController::preload(const VornResultsetPtr &resultset)
{
    Q_ASSERT_X(threadController() && statusManager(), "ResultsetController",
               "A preload needs the document's thread controller and status manager");
    WorkerContext context{threadController(), statusManager(), vornRoot()};
    std::thread([context, resultset, shared = shared_] {
        context.threads->registerThread(QStringLiteral("ResultController.preload"));
        context.status->setActiveConnectionStatus(text("resultset", "Preloading more records"));
        bool succeeded = false;
        QString message;
        QString tableName;
        try {
            tableName = resultset->tableName();
            resultset->preload();
            succeeded = lastActionSuccessful(context.root);
            if (!succeeded)
                message = lastErrorMessage(context.root);
        } catch (const QoJavaBridgeException &exception) {
            qCWarning(resultsetLog) << "Preloading failed:" << exception.what();
            message = exception.reason();
        }
        if (succeeded) {
            context.status->setConnectionStatus(
                tableName.isNull() ? text("resultset", "Resultset loaded successfully")
                                   : text("resultset", "%1, Resultset loaded successfully").arg(tableName));
        } else {
            context.status->runErrorWithTitle(
                text("resultset", "Database error"),
                joined(text("resultset", "A database error occured while reading from the resultset."),
                       message));
            context.status->setConnectionStatus(text("resultset", "Error loading resultset"), message);
        }
        shared->preloading = false;
        MainThread::post([shared, succeeded] {
            if (!shared->owner)
                return;
            shared->owner->releaseRootReservation();
            if (ResultsetControllerDelegate *delegate = shared->owner->resultsetDelegate();
                delegate && succeeded)
                delegate->resultsetHasBeenUpdated();
        });
        context.threads->unRegisterThread();
    }).detach();
}

bool ResultsetController::canRefresh() const
{
    return vornRoot()->call("hasConnection").toBool() && !vornRoot()->call("reserved").toBool() &&
           vornRoot()->call("resultset").isValid() && rootBrowser();
}

void ResultsetController::refresh()
{
    if (!requestFocusChange())
        return;
    if (!requestRootReservation(text("activity", "Refreshing resultset")))
        return;
    doRefresh();
}

void ResultsetController::doRefresh()
{
    Q_ASSERT_X(threadController() && statusManager(), "ResultsetController",
               "A refresh needs the document's thread controller and status manager");
    WorkerContext context{threadController(), statusManager(), vornRoot()};
    std::thread([context, shared = shared_] {
        context.threads->registerThread(QStringLiteral("ResultsetController.doRefresh"));
        context.status->setActiveConnectionStatus(text("browser", "Refreshing resultset"));
        bool succeeded = false;
        QString message;
        VornResultsetPtr refreshed;
        try {
            const QoJavaObjectPtr browser = context.root->call("browser").value<QoJavaObjectPtr>();
            if (browser)
                browser->call("refresh");
            succeeded = browser && lastActionSuccessful(context.root);
            if (succeeded)
                refreshed = VornResultset::fromVariant(context.root->call("resultset"));
            else
                message = lastErrorMessage(context.root);
        } catch (const QoJavaBridgeException &exception) {
            qCWarning(resultsetLog) << "Refreshing failed:" << exception.what();
            message = exception.reason();
        }
        if (succeeded) {
            context.status->setConnectionStatus(text("browser", "Resultset loaded successfully"));
        } else {
            context.status->runErrorWithTitle(
                text("browser", "Database error"),
                joined(text("browser", "A database error occured while trying to reload the resultset."),
                       message));
            context.status->setConnectionStatus(text("browser", "Error refreshing resultset"), message);
        }
        MainThread::post([shared, succeeded, refreshed] {
            if (!shared->owner)
                return;
            if (succeeded)
                shared->owner->setVornResultset(refreshed);
            shared->owner->releaseRootReservation();
            ResultsetControllerDelegate *delegate = shared->owner->resultsetDelegate();
            if (delegate && succeeded) {
                delegate->resultsetHasBeenUpdated();
                delegate->resultsetQuickFilterOrSortHasBeenUpdated();
            }
        });
        context.threads->unRegisterThread();
    }).detach();
}

QVariant ResultsetController::objectValueForColumn(const QString &columnName, qint64 row) const
{
    Q_ASSERT_X(row >= 1, "ResultsetController", "rowIndex must be 1 or greater");
    const VornResultsetPtr resultset = vornResultset();
    if (!resultset)
        return QVariant();
    // The backend result set grows while a preload runs: it is not read from here meanwhile.
    if (isPreloading())
        return QString();
    const QVariant cell = VornResultset::cell(fetchedRow(resultset, row), columnName);
    switch (VornCellWrapper::kindOf(cell)) {
    case VornCellWrapper::Kind::Character:
        return VornCellWrapper::stringValue(cell);
    case VornCellWrapper::Kind::Binary:
        return text("resultset", "<<Binary>>");
    case VornCellWrapper::Kind::None:
        break;
    }
    return management_ ? managementValue(columnName, cell) : cell;
}

QoJavaObjectPtr ResultsetController::fetchedRow(const VornResultsetPtr &resultset, qint64 row) const
{
    if (resultset != lastRowResultset_ || row != lastRowNumber_ || !lastRow_) {
        lastRow_ = resultset->getRow(qint32(row));
        lastRowResultset_ = resultset;
        lastRowNumber_ = row;
    }
    return lastRow_;
}

QVariant ResultsetController::managementValue(const QString &columnName, const QVariant &cell) const
{
    const QVariantMap config = managementConfig();
    const auto listed = [&config, &columnName](const char *key) {
        return config.value(QLatin1String(key)).toStringList().contains(columnName);
    };
    if (listed("secondColumns"))
        return FormatUtils::timeText(cell.toDouble());
    if (listed("percentageColumns"))
        return cell.isValid() ? QStringLiteral("%1 %").arg(cell.toString()) : QString();
    if (listed("byteColumns"))
        return cell.isValid() ? FormatUtils::sizeText(cell.toULongLong()) : QString();
    return cell;
}

QVariantList ResultsetController::uniqueObjectValuesForColumn(const QString &columnName,
                                                              const QList<qint64> &rows) const
{
    QVariantList values;
    const VornResultsetPtr resultset = vornResultset();
    if (!resultset || isPreloading())
        return values;
    QList<qint64> ordered = rows;
    std::sort(ordered.begin(), ordered.end());
    for (const qint64 row : ordered) {
        QVariant cell = VornResultset::cell(resultset->getRow(qint32(row)), columnName);
        if (VornCellWrapper::kindOf(cell) != VornCellWrapper::Kind::None)
            cell = VornCellWrapper::stringValue(cell);
        if (cell.isNull() || !cell.isValid())
            continue;
        if (!values.contains(cell))
            values.append(cell);
    }
    return values;
}

bool ResultsetController::canEditResultSet() const
{
    const VornResultsetPtr resultset = vornResultset();
    return resultset && !resultset->readOnly();
}

bool ResultsetController::canCancel() const
{
    return vornResultset() && editingRowNumber_ > 0;
}

QList<QoJavaObjectPtr> ResultsetController::quickSortColumns() const
{
    QList<QoJavaObjectPtr> sorts;
    const QoJavaObjectPtr browser = rootBrowser();
    if (!browser)
        return sorts;
    for (const QVariant &sort : JavaUtils::arrayFromVector(browser->call("sort").value<QoJavaObjectPtr>()))
        sorts.append(sort.value<QoJavaObjectPtr>());
    return sorts;
}

QStringList ResultsetController::quickSortColumnCurrentSort() const
{
    QStringList names;
    for (const QoJavaObjectPtr &sort : quickSortColumns())
        names.append(sort->call("name").toString());
    return names;
}

int ResultsetController::quickSortColumnSortDirection(const QString &columnName) const
{
    for (const QoJavaObjectPtr &sort : quickSortColumns()) {
        if (sort->call("name").toString() == columnName)
            return sort->call("direction").toString() == QLatin1String("ASC") ? 1 : 2;
    }
    return 0;
}

QStringList ResultsetController::quickSortColumnInfo() const
{
    const VornResultsetPtr resultset = vornResultset();
    return resultset ? resultset->searchableColumnNames() : QStringList();
}

void ResultsetController::clearQuickSort() {}

void ResultsetController::setQuickSort(const QString &, int) {}

void ResultsetController::addQuickSort(const QString &, int) {}

QVariantMap ResultsetController::managementConfig() const
{
    ResultsetControllerDelegate *delegate = resultsetDelegate();
    const BrowserElementPtr element = delegate ? delegate->resultsetNeedsSelectedElement() : nullptr;
    return element && element->subtype() == managementSubtype ? element->options() : QVariantMap();
}

void ResultsetController::selectManagementRow(qint64 row)
{
    const QVariantMap config = managementConfig();
    const VornResultsetPtr resultset = vornResultset();
    ResultsetControllerDelegate *delegate = resultsetDelegate();
    if (!config.value("providesSessions").toBool() || !resultset || !delegate) {
        QApplication::beep();
        return;
    }
    const QVariantMap values = JavaUtils::dictionaryFromHashtable(resultset->getRow(qint32(row + 1)));
    QVariantList sessionIds{values.value(config.value("sessionId").toString())};
    if (config.contains("sessionId2"))
        sessionIds.append(values.value(config.value("sessionId2").toString()));
    delegate->resultsetSelectedSession(values, resultset->columnNames(), sessionIds);
}

ExtendedFilterPtr ResultsetController::extendedFilter() const
{
    auto filter = std::make_shared<ExtendedFilter>();
    filter->setQuickFilterColumns(quickFilterColumnColumns());
    filter->setQuickFilterOperators(quickFilterColumnOperators());
    filter->setQuickFilterValues(quickFilterColumnValues());
    filter->setQuickFilterSort(quickSortColumns());
    return filter;
}
