#include "resultset/ResultsetController.h"

#include "client/VornBrowserClient.h"
#include "kit/FormatUtils.h"
#include "resultset/ResultsetControllerDelegate.h"
#include "status/StatusManager.h"

#include <QApplication>
#include <QCoreApplication>

#include <algorithm>
#include <limits>

namespace
{
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

QString joined(const QString &sentence, const QString &message)
{
    return QStringLiteral("%1\n%2").arg(sentence, message);
}

// The final status of a preload and, when it failed, the alert. Worker thread.
void reportPreload(StatusManager &status, const BackendOutcome &outcome, const QString &tableName)
{
    if (outcome) {
        status.setConnectionStatus(
            tableName.isNull() ? text("resultset", "Resultset loaded successfully")
                               : text("resultset", "%1, Resultset loaded successfully").arg(tableName));
        return;
    }
    status.runErrorWithTitle(
        text("resultset", "Database error"),
        joined(text("resultset", "A database error occurred while reading from the resultset."),
               outcome.errorMessage));
    status.setConnectionStatus(text("resultset", "Error loading resultset"), outcome.errorMessage);
}

// The final status of a refresh and, when it failed, the alert. Worker thread.
void reportRefresh(StatusManager &status, const BackendOutcome &outcome)
{
    if (outcome) {
        status.setConnectionStatus(text("browser", "Resultset loaded successfully"));
        return;
    }
    status.runErrorWithTitle(
        text("browser", "Database error"),
        joined(text("browser", "A database error occurred while trying to reload the resultset."),
               outcome.errorMessage));
    status.setConnectionStatus(text("browser", "Error refreshing resultset"), outcome.errorMessage);
}

// Reads the browser's object or statement again. Worker thread.
BackendOutcome refreshBrowser(const VornRootClient &root)
{
    const std::shared_ptr<VornBrowserClient> browser = root.browser();
    if (!browser)
        return BackendOutcome::failure(root.lastErrorMessage());
    browser->refresh();
    return root.lastOutcome();
}
} // namespace

ResultsetController::ResultsetController(VornRootClientPtr vornRoot)
    : ConnectedController(std::move(vornRoot))
{
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
    ++resultsetGeneration_;
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
    return preloadLane_->isRunning();
}

bool ResultsetController::isFiltering() const
{
    return filtering_;
}

void ResultsetController::resetResultsetFromRoot()
{
    // The row asked for last keeps its result's rows alive.
    lastRowResultset_.reset();
    lastRow_.reset();
    readGeneration_ = 0;
    if (statusManager())
        statusManager()->setResultsetLoadFailed(false); // another result, or none
    if (!vornRoot()->hasConnection()) {
        setVornResultset(nullptr);
        quickFilterValid_ = false;
        return;
    }
    const VornResultsetPtr resultset = vornRoot()->resultset();
    const std::shared_ptr<VornBrowserClient> browser = resultset ? vornRoot()->browser() : nullptr;
    {
        std::lock_guard lock(mutex_);
        vornResultset_ = resultset;
        ++resultsetGeneration_;
        quickFilterColumnInfo_ = browser ? browser->quickFilterColumnInfo() : QVariantList();
        quickFilterColumnColumns_ = browser ? browser->quickFilterColumns() : QVariantList();
        quickFilterColumnOperators_ = browser ? browser->quickFilterOperators() : QVariantList();
        quickFilterColumnValues_ =
            browser ? browser->quickFilterValues().value_or(QVariantList()) : QVariantList();
    }
    editingRowNumber_ = -1;
    editedValues_.clear();
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

bool ResultsetController::stoppedAtRowLimit() const
{
    const VornResultsetPtr resultset = vornResultset();
    return resultset && resultset->stoppedAtRowLimit();
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

bool ResultsetController::isNumberColumn(const QString &columnName) const
{
    const VornResultsetPtr resultset = vornResultset();
    return resultset && resultset->primaryColumnTypeForColumn(columnName) == QLatin1String("N");
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

QString ResultsetController::tableSchema() const
{
    const std::shared_ptr<VornBrowserClient> browser = vornRoot()->browser();
    return browser ? browser->schema() : QString();
}

QString ResultsetController::tableType() const
{
    const std::shared_ptr<VornBrowserClient> browser = vornRoot()->browser();
    return browser ? browser->type() : QString();
}

ExtendedResultsetDescription ResultsetController::extendedResultsetDescription() const
{
    ExtendedResultsetDescription description;
    const std::shared_ptr<VornBrowserClient> browser = vornRoot()->browser();
    const QString name = browser ? browser->name() : QString();
    if (name.isNull()) {
        const VornResultsetPtr resultset = vornRoot()->resultset();
        description.query = resultset ? resultset->selectStatement() : QString();
        return description;
    }
    description.table = name;
    description.filter = filterDescription(*browser);
    QStringList sorts;
    for (const VornSort &sort : browser->sort())
        sorts.append(sort.name + ' ' +
                     (sort.ascending() ? text("printing", "ascending") : text("printing", "descending")));
    description.sort = sorts.join(QStringLiteral(", "));
    return description;
}

// The browser's free filter, else the quick-filter conditions as text. A condition without a value adds
// nothing of its own, but the separator of a later condition is still written.
QString ResultsetController::filterDescription(const VornBrowserClient &browser) const
{
    const QString filter = browser.filter();
    if (!filter.isEmpty())
        return filter;
    if (!browser.quickFilterValues())
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
    if (!resultset || vornRoot()->reserved() || resultset->fullyLoaded())
        return;
    if (!wantsMoreRows(location, length, resultset->rowCount()))
        return;
    if (!requestRootReservation(text("activity", "Loading more results")))
        return;
    preload(resultset);
}

void ResultsetController::preload(const VornResultsetPtr &resultset)
{
    Q_ASSERT_X(statusManager(), "ResultsetController", "A preload needs the document's status manager");
    auto succeeded = std::make_shared<bool>(false);
    BackgroundJob job;
    job.threadName = QStringLiteral("ResultController.preload");
    job.lane = preloadLane_;
    job.work = [succeeded, resultset, root = vornRoot(), status = statusManager()](const WorkerControl &) {
        status->setActiveConnectionStatus(text("resultset", "Preloading more records"));
        const QString tableName = resultset->tableName();
        resultset->preload();
        const BackendOutcome outcome = root->lastOutcome();
        // The rows that came stay; the count must not pass for the whole result.
        if (!outcome)
            status->setResultsetLoadFailed(true);
        reportPreload(*status, outcome, tableName);
        *succeeded = outcome.successful;
    };
    job.failed = [status = statusManager()](const QString &message) {
        status->setResultsetLoadFailed(true);
        reportPreload(*status, BackendOutcome::failure(message), QString());
    };
    job.done = [this, succeeded] {
        if (ResultsetControllerDelegate *delegate = resultsetDelegate(); delegate && *succeeded)
            delegate->resultsetHasBeenUpdated();
    };
    runReserved(std::move(job));
}

bool ResultsetController::canRefresh() const
{
    const VornRootClientPtr &root = vornRoot();
    return root->hasConnection() && !root->reserved() && root->resultset() && root->browser();
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
    Q_ASSERT_X(statusManager(), "ResultsetController", "A refresh needs the document's status manager");
    struct Refreshed {
        bool succeeded = false;
        VornResultsetPtr resultset;
    };
    auto refreshed = std::make_shared<Refreshed>();
    BackgroundJob job;
    job.threadName = QStringLiteral("ResultsetController.doRefresh");
    job.work = [refreshed, root = vornRoot(), status = statusManager()](const WorkerControl &) {
        status->setActiveConnectionStatus(text("browser", "Refreshing resultset"));
        const BackendOutcome outcome = refreshBrowser(*root);
        if (outcome)
            refreshed->resultset = root->resultset();
        refreshed->succeeded = outcome.successful;
        reportRefresh(*status, outcome);
    };
    job.failed = [status = statusManager()](const QString &message) {
        reportRefresh(*status, BackendOutcome::failure(message));
    };
    job.done = [this, refreshed] {
        if (!refreshed->succeeded)
            return;
        setVornResultset(refreshed->resultset);
        if (ResultsetControllerDelegate *delegate = resultsetDelegate()) {
            delegate->resultsetHasBeenUpdated();
            delegate->resultsetQuickFilterOrSortHasBeenUpdated();
        }
    };
    runReserved(std::move(job));
}

QVariant ResultsetController::objectValueForColumn(const QString &columnName, qint64 row) const
{
    return objectValueForColumn(columnName, row, -1);
}

QVariant ResultsetController::objectValueForColumn(const QString &columnName, qint64 row,
                                                   int columnGuess) const
{
    Q_ASSERT_X(row >= 1, "ResultsetController", "rowIndex must be 1 or greater");
    const VornResultset *resultset = readResultset();
    if (!resultset)
        return QVariant();
    // The rows grow while a preload runs: they are not read from here meanwhile.
    if (isPreloading())
        return QString();
    if (row == editingRowNumber_) {
        const auto edited = editedValues_.constFind(columnName);
        if (edited != editedValues_.constEnd())
            return edited->isNull() ? QVariant() : QVariant(*edited);
    }
    const std::optional<VornRow> &fetched = fetchedRow(row);
    const VornCell cell =
        fetched ? fetched->cell(resultset->columnIndex(columnName, columnGuess)) : VornCell{};
    switch (cell.kind) {
    case VornCell::Kind::CharacterLob:
    case VornCell::Kind::CharacterLobNull:
        return cell.string();
    case VornCell::Kind::Binary:
    case VornCell::Kind::BinaryNull:
        return text("resultset", "<<Binary>>");
    case VornCell::Kind::Text:
        return management_ ? managementValue(columnName, cell.string()) : QVariant(cell.string());
    case VornCell::Kind::Null:
        break;
    }
    return management_ ? managementValue(columnName, QVariant()) : QVariant();
}

const VornResultset *ResultsetController::readResultset() const
{
    // The lock is taken only when the result set has been replaced since the last cell.
    if (resultsetGeneration_.load(std::memory_order_acquire) != readGeneration_) {
        std::lock_guard lock(mutex_);
        lastRowResultset_ = vornResultset_;
        readGeneration_ = resultsetGeneration_;
        lastRow_.reset();
    }
    return lastRowResultset_.get();
}

const std::optional<VornRow> &ResultsetController::fetchedRow(qint64 row) const
{
    if (row != lastRowNumber_ || !lastRow_) {
        lastRow_ =
            row <= std::numeric_limits<qint32>::max() ? lastRowResultset_->getRow(qint32(row)) : std::nullopt;
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
    const int column = resultset->columnIndex(columnName);
    QList<qint64> ordered = rows;
    std::sort(ordered.begin(), ordered.end());
    for (const qint64 row : ordered) {
        const std::optional<VornRow> fetched = row >= 1 && row <= std::numeric_limits<qint32>::max()
                                                   ? resultset->getRow(qint32(row))
                                                   : std::nullopt;
        // NULL, binary values and large objects without text have nothing to show.
        const QString text = fetched ? fetched->cell(column).string() : QString();
        if (!text.isNull() && !values.contains(text))
            values.append(text);
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

QList<VornSort> ResultsetController::quickSortColumns() const
{
    const std::shared_ptr<VornBrowserClient> browser = vornRoot()->browser();
    return browser ? browser->sort() : QList<VornSort>();
}

QStringList ResultsetController::quickSortColumnCurrentSort() const
{
    QStringList names;
    for (const VornSort &sort : quickSortColumns())
        names.append(sort.name);
    return names;
}

int ResultsetController::quickSortColumnSortDirection(const QString &columnName) const
{
    for (const VornSort &sort : quickSortColumns()) {
        if (sort.name == columnName)
            return sort.ascending() ? 1 : 2;
    }
    return 0;
}

QStringList ResultsetController::quickSortColumnInfo() const
{
    const VornResultsetPtr resultset = vornResultset();
    return resultset ? resultset->searchableColumnNames() : QStringList();
}

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
    const QVariantMap values = resultset->rowValues(qint32(row + 1));
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
