#include "browser/InfoController.h"

#include "browser/InfoContentBuilders.h"
#include "browser/InfoControllerDelegate.h"
#include "browser/InfoText.h"
#include "client/BackgroundRunner.h"
#include "client/VornBrowserClient.h"
#include "client/VornResultset.h"
#include "client/VornResultsetMetaData.h"
#include "elements/SqlBrowserElement.h"
#include "kit/ImageUtil.h"
#include "platform/MainThread.h"
#include "platform/NotificationCenter.h"
#include "platform/Preferences.h"

#include <QCoreApplication>
#include <QLoggingCategory>
#include <QTimer>

Q_LOGGING_CATEGORY(infoLog, "vorn.info")

namespace
{
QString activityText(const char *text)
{
    return QCoreApplication::translate("activity", text);
}
} // namespace

InfoController::InfoController(VornRootClientPtr vornRoot)
    : ConnectedController(std::move(vornRoot)), loadupTimer_(std::make_unique<QTimer>())
{
    loadupTimer_->setSingleShot(true);
    QObject::connect(loadupTimer_.get(), &QTimer::timeout, loadupTimer_.get(), [this] { startLoadup(); });
    setNoInfo();
}

InfoController::~InfoController()
{
    current_->store(nullptr);
    if (vornInfo_)
        vornInfo_->endConnection();
}

bool InfoController::loadPending() const
{
    return loadupTimer_->isActive();
}

QString InfoController::cacheKey(const BrowserElement &element)
{
    return QStringLiteral("infocache%1-%2-%3").arg(element.schema(), element.type(), element.name());
}

void InfoController::setNoInfo()
{
    auto section = std::make_shared<InfoItemSection>();
    section->title = infoText("No information to display");
    section->type = InfoItemSection::General;
    section->fullyLoaded = true;
    section->groups = {InfoContentBuilders::textGroup(
        infoText("Vorn has no information to display. Select an item from the browser on the left side or "
                 "execute an SQL statement."))};
    sections_ = {section};
    name_ = infoText("No selection");
    image_ = ImageUtil::bundleImage(QStringLiteral("SideUnknown"));
}

void InfoController::reset()
{
    if (vornInfo_ && keepConnection_)
        vornInfo_->endConnection();
    setNoInfo();
    loadupTimer_->stop();
    vornInfo_.reset();
    current_->store(nullptr);
    browserElement_.reset();
    sessionIdentifier_.clear();
    sessionPages_.clear();
}

void InfoController::setManagementMode(bool managementMode)
{
    managementMode_ = managementMode;
    if (managementMode)
        resetManagement();
    else
        reset();
}

InfoItemSectionPtr InfoController::placeholder(const QString &title, qint64 type)
{
    auto section = std::make_shared<InfoItemSection>();
    section->title = title;
    section->type = type;
    section->groups = {InfoContentBuilders::textGroup(infoText("Information not loaded yet"))};
    return section;
}

QString InfoController::schemaLabel() const
{
    return InfoContentBuilders::schemaLabel(schemaTerm_);
}

InfoItemSectionPtr InfoController::generalSectionForBrowserElement(const BrowserElement &element) const
{
    auto section = std::make_shared<InfoItemSection>();
    section->title = infoText("General");
    section->type = InfoItemSection::General;
    section->groups = {InfoItemGroup::groupWithTitle(
        QString(), {InfoItem::itemWithNameValue(infoText("Name"), element.name()),
                    InfoItem::itemWithNameValue(schemaLabel(), element.schema()),
                    InfoItem::itemWithNameValue(infoText("Type"), element.type())})};
    return section;
}

InfoItemSectionPtr InfoController::generalSectionForSqlBrowserElement(const BrowserElement &element) const
{
    InfoItemSectionPtr section = generalSectionForBrowserElement(element);
    const auto *statement = dynamic_cast<const SqlBrowserElement *>(&element);
    section->groups << InfoItemGroup::groupWithTitle(
        infoText("Timing"),
        {InfoItem::itemWithNameValue(QString(),
                                     InfoContentBuilders::timingText(statement ? statement->timing() : 0))});
    return section;
}

InfoItemSectionPtr InfoController::columnSection(const QList<QVariantMap> &resultColumns)
{
    QList<InfoItem> items;
    for (const QVariantMap &column : resultColumns)
        items << InfoItem::itemWithNameValue(column.value("label").toString(),
                                             column.value("typeName").toString());
    auto section = std::make_shared<InfoItemSection>();
    section->title = infoText("Columns");
    section->type = InfoItemSection::Columns;
    section->groups = {InfoItemGroup::groupWithTitle(
        QString(), items, InfoItemGroup::ValueFillsRow | InfoItemGroup::WrapValue)};
    return section;
}

std::optional<QList<QVariantMap>> InfoController::columnsOf(const std::shared_ptr<VornResultset> &resultset)
{
    if (!resultset)
        return std::nullopt;
    return resultset->resultsetMetaData().columns();
}

void InfoController::resetInfoUsingBrowserElement(const BrowserElementPtr &element,
                                                  const std::shared_ptr<VornResultset> &resultset)
{
    resetInfoUsingBrowserElementColumns(element, columnsOf(resultset));
}

void InfoController::resetInfoUsingBrowserElementColumns(
    const BrowserElementPtr &element, const std::optional<QList<QVariantMap>> &resultColumns)
{
    if (managementMode_)
        return;
    reset();
    if (!element || element->browserType() == BrowserElement::StatementResult)
        return;
    if (std::shared_ptr<VornBrowserClient> browser = vornRoot() ? vornRoot()->browser() : nullptr) {
        vornInfo_ = browser->elementDescription(element->schema(), element->type(), element->name());
        if (element->type() == QLatin1String("SYNONYM")) {
            if (VornInfoClientPtr referred = browser->elementDescriptionForReferringElement(
                    element->schema(), element->type(), element->name()))
                vornInfo_ = referred;
        }
    }
    current_->store(vornInfo_.get());
    name_ = element->name();
    image_ = ImageUtil::imageForBrowserElement(element->browserType(), element->subtype());
    browserElement_ = element;

    const QVariant cached = cache_.objectForKey(cacheKey(*element));
    if (cached.isValid()) {
        sections_ = cached.value<InfoItemSections>();
        return;
    }
    const QVariantMap generic = vornInfo_ ? vornInfo_->genericInfo() : QVariantMap();
    if (generic.contains(QStringLiteral("schemaTerm")))
        schemaTerm_ = generic.value("schemaTerm");
    InfoItemSections sections{generalSectionForBrowserElement(*element)};
    const QString subtype = generic.value("subtype").toString();
    const QString type = generic.value("type").toString();
    const VornInfoClient *info = vornInfo_.get();
    if (subtype == QLatin1String("table")) {
        InfoItemSectionPtr columns = columnSection(resultColumns.value_or(QList<QVariantMap>()));
        sections << columns;
        if (type == QLatin1String("VIEW")) {
            if (info->couldContainTriggerInfo())
                sections << placeholder(infoText("Triggers"), InfoItemSection::Triggers);
        } else if (type != QLatin1String("SYNONYM")) {
            if (info->couldContainIndexInfo())
                sections << placeholder(infoText("Indexes"), InfoItemSection::Indexes);
            if (info->couldContainConstraintInfo())
                sections << placeholder(infoText("Constraints"), InfoItemSection::Constraints);
            if (info->couldContainPartitionInfo())
                sections << placeholder(infoText("Partitions"), InfoItemSection::Partitions);
            if (info->couldContainTriggerInfo())
                sections << placeholder(infoText("Triggers"), InfoItemSection::Triggers);
        }
    } else if (subtype == QLatin1String("procedure")) {
        sections << placeholder(infoText("Parameters"), InfoItemSection::Columns);
    } else if (subtype == QLatin1String("index")) {
        if (info->couldContainIndexColumnInfo())
            sections << placeholder(infoText("Columns"), InfoItemSection::Columns);
        if (info->couldContainPartitionInfo())
            sections << placeholder(infoText("Partitions"), InfoItemSection::Partitions);
    }
    if (info && info->couldContainDdlInfo())
        sections << placeholder(infoText("Data definition"), InfoItemSection::DataDefinition);
    sections_ = sections;
    scheduleExtendedLoad();
}

void InfoController::resetInfoUsingSqlBrowserElement(const BrowserElementPtr &element,
                                                     const std::shared_ptr<VornResultset> &resultset)
{
    resetInfoUsingSqlBrowserElementColumns(element, columnsOf(resultset).value_or(QList<QVariantMap>()));
}

void InfoController::resetInfoUsingSqlBrowserElementColumns(const BrowserElementPtr &element,
                                                            const QList<QVariantMap> &resultColumns)
{
    if (managementMode_ || !element)
        return;
    browserElement_ = element;
    auto source = std::make_shared<InfoItemSection>();
    source->title = infoText("SQL source");
    source->type = InfoItemSection::DataDefinition;
    const auto *statement = dynamic_cast<const SqlBrowserElement *>(element.get());
    source->groups = {InfoContentBuilders::textGroup(statement ? statement->source() : QString())};
    sections_ = {generalSectionForSqlBrowserElement(*element), columnSection(resultColumns), source};
    for (const InfoItemSectionPtr &section : sections_)
        section->fullyLoaded = true;
    name_ = element->name();
    image_ = ImageUtil::imageForBrowserElement(element->browserType(), element->subtype());
}

InfoItemSectionPtr InfoController::findSection(qint64 type) const
{
    for (const InfoItemSectionPtr &section : sections_) {
        if (section->type == type)
            return section;
    }
    return nullptr;
}

bool InfoController::fullyLoaded() const
{
    return std::all_of(sections_.begin(), sections_.end(),
                       [](const InfoItemSectionPtr &section) { return section->fullyLoaded; });
}

void InfoController::refresh()
{
    if (!browserElement_)
        return;
    if (!managementMode_)
        cache_.removeObjectForKey(cacheKey(*browserElement_));
    for (const InfoItemSectionPtr &section : sections_)
        section->fullyLoaded = false;
    if (infoDelegate_)
        infoDelegate_->infoHasBeenUpdated(-1);
    startLoadingImmediately();
}

// --- Loading ------------------------------------------------------------------------------------

void InfoController::scheduleExtendedLoad()
{
    if (loadupTimer_->isActive())
        return;
    if (loading())
        qCInfo(infoLog) << "Starting info load while other is busy";
    if (!infoDelegate_ || !infoDelegate_->infoControllerShouldLoadExtendedInfo(this))
        return;
    loadupTimer_->start(loadDelayMs_);
}

void InfoController::startLoadup()
{
    if (fullyLoaded())
        return;
    loadupTimer_->stop();
    if (!vornInfo_ || !threadController())
        return;
    if (managementMode_) {
        if (!sessionIdentifier_.isEmpty())
            loadSessionInfo(vornInfo_, useBackgroundConnection());
        return;
    }
    loadInfo(vornInfo_, useBackgroundConnection());
}

bool InfoController::useBackgroundConnection() const
{
    const Preferences preferences;
    return preferences.flag(PreferenceKey::allowBackgroundConnections) &&
           preferences.flag(PreferenceKey::allowBackgroundConnectionsInfoInspector) &&
           !(keepConnection_ && hasBackgroundConnection_);
}

void InfoController::runInfoLoad(const QString &threadName, const QString &reason,
                                 const VornInfoClientPtr &info, bool backgroundConnection,
                                 std::function<void()> read)
{
    ++loadsRunning_;
    const bool keep = keepConnection_;
    std::weak_ptr<char> alive = alive_;
    BackgroundJob job;
    job.threadName = threadName;
    job.threads = threadController();
    job.daemon = true;
    job.ownerAlive = [alive] { return !alive.expired(); };
    job.work = [this, info, backgroundConnection, keep, alive, reason,
                read = std::move(read)](const WorkerControl &) {
        const bool reserved =
            backgroundConnection ? info->reserveBackgroundRoot(reason) : info->reserveForegroundRoot(reason);
        if (!reserved)
            return;
        if (backgroundConnection)
            MainThread::post([this, alive] {
                if (!alive.expired())
                    hasBackgroundConnection_ = true;
            });
        read();
        info->releaseReservedRoot();
        if (!keep)
            info->endConnection();
    };
    // A refused reservation ends the load like a finished one: the controller is free again, and the
    // placeholders stay until a new selection or a refresh.
    job.done = [this, info] { infoLoaded(info); };
    job.orphanedRelease = [info, keep] {
        if (!keep)
            info->endConnection();
    };
    BackgroundRunner::run(std::move(job));
}

void InfoController::loadInfo(const VornInfoClientPtr &info, bool backgroundConnection)
{
    const auto current = current_;
    std::weak_ptr<char> alive = alive_;
    runInfoLoad(
        loadThreadName, activityText("Loading element information"), info, backgroundConnection,
        [this, info, current, alive] {
            const auto stillCurrent = [&] { return current->load() == info.get(); };
            // The worker never touches the controller itself: its steps run on the main thread, and only
            // while the controller lives and still shows this info.
            const auto postStep = [this, alive](const VornInfoClientPtr &stepInfo,
                                                std::function<void()> step) {
                MainThread::post([this, alive, stepInfo, step = std::move(step)] {
                    if (!alive.expired() && stepInfo == vornInfo_)
                        step();
                });
            };
            if (stillCurrent()) {
                info->fillOutGenericInfo();
                const QVariantMap generic = info->genericInfo();
                postStep(info, [this, info, generic] {
                    // Partitions announce their page like every other builder, so a column showing it
                    // redraws.
                    update(info, InfoItemSection::Partitions, InfoContentBuilders::partitionGroups(generic));
                    schemaTerm_ = generic.value("schemaTerm");
                    const auto link = [this, info](const QString &n, const QString &t, qint64 b) {
                        return linkTo(info, n, t, b);
                    };
                    update(info, InfoItemSection::General, InfoContentBuilders::generalGroups(generic, link));
                });
            }
            if (stillCurrent()) {
                const QVariantList columns = info->columns();
                postStep(info, [this, info, columns] {
                    update(info, InfoItemSection::Columns, InfoContentBuilders::columnGroups(columns));
                });
            }
            if (stillCurrent()) {
                const QVariantMap indexes = info->indexes();
                postStep(info, [this, info, indexes] {
                    const auto link = [this, info](const QString &n, const QString &t, qint64 b) {
                        return linkTo(info, n, t, b);
                    };
                    update(info, InfoItemSection::Indexes, InfoContentBuilders::indexGroups(indexes, link));
                });
            }
            if (stillCurrent()) {
                const QVariantList constraints = info->constraints();
                postStep(info, [this, info, constraints] {
                    const auto link = [this, info](const QString &n, const QString &t, qint64 b) {
                        return linkTo(info, n, t, b);
                    };
                    update(info, InfoItemSection::Constraints,
                           InfoContentBuilders::constraintGroups(constraints, link));
                });
            }
            if (stillCurrent()) {
                // Triggers get their names, so the page completes and the object can be refreshed.
                const QStringList triggers = info->triggers();
                postStep(info, [this, info, triggers] {
                    update(info, InfoItemSection::Triggers, InfoContentBuilders::triggerGroups(triggers));
                });
            }
            if (stillCurrent()) {
                const QString ddl = info->ddl();
                postStep(info, [this, info, ddl] {
                    update(info, InfoItemSection::DataDefinition, InfoContentBuilders::ddlGroups(ddl));
                });
            }
        });
}

BrowserElementPtr InfoController::linkTo(const VornInfoClientPtr &info, const QString &name,
                                         const QString &type, qint64 browserType) const
{
    if (!browserElement_ || !info->canObtainInfoFor(name, type))
        return nullptr;
    return std::make_shared<BrowserElement>(name, browserElement_->schema(), type, browserType);
}

void InfoController::update(const VornInfoClientPtr &info, qint64 type, const QList<InfoItemGroup> &groups,
                            bool announce)
{
    if (info != vornInfo_)
        return;
    if (InfoItemSectionPtr section = findSection(type)) {
        section->groups = groups;
        section->fullyLoaded = true;
    }
    if (announce) {
        std::weak_ptr<char> alive = alive_;
        MainThread::post([this, alive, type] {
            if (!alive.expired())
                sendInfoHasBeenUpdated(type);
        });
    }
}

void InfoController::sendInfoHasBeenUpdated(qint64 type)
{
    if (infoDelegate_)
        infoDelegate_->infoHasBeenUpdated(type);
}

void InfoController::infoLoaded(const VornInfoClientPtr &info)
{
    loadsRunning_ = std::max(0, loadsRunning_ - 1);
    if (!info || info != vornInfo_ || managementMode_ || !browserElement_ || !fullyLoaded())
        return;
    cache_.setObject(QVariant::fromValue(sections_), cacheKey(*browserElement_));
}

// --- Navigation and favourites --------------------------------------------------------------------

void InfoController::referToBrowserElement(const BrowserElementPtr &element)
{
    if (!infoDelegate_)
        return;
    VornRootClientPtr root = keepConnection_ && vornInfo_ ? vornInfo_->root() : vornRoot();
    if (!root)
        root = vornRoot();
    auto referred = std::make_shared<InfoController>(root);
    if (element && element->browserType() == BrowserElement::StatementResult) {
        referred->name_ = element->name();
        referred->image_ = ImageUtil::imageForBrowserElement(element->browserType(), element->subtype());
        referred->browserElement_ = element;
        referred->sections_ = sections_;
    } else {
        referred->setThreadController(threadController());
        referred->schemaTerm_ = schemaTerm_;
        referred->resetInfoUsingBrowserElementColumns(element, std::nullopt);
    }
    infoDelegate_->requestSeparatedViewOfInfoController(referred);
}

void InfoController::referToCurrentBrowserElementInSeparateWindow()
{
    referToBrowserElement(browserElement_);
}

std::optional<bool> InfoController::favouriteStatus()
{
    if (managementMode_ || !browserElement_ ||
        browserElement_->browserType() == BrowserElement::StatementResult)
        return std::nullopt;
    return connectionSettingsWithName(QStringLiteral("favourites"))
        .toStringList()
        .contains(browserElement_->serializableIdentifier());
}

void InfoController::updateFavouriteStatus(bool favourite)
{
    if (browserElement_) {
        QStringList favourites = connectionSettingsWithName(QStringLiteral("favourites")).toStringList();
        const QString identifier = browserElement_->serializableIdentifier();
        if (favourite && !favourites.contains(identifier))
            favourites << identifier;
        else if (!favourite)
            favourites.removeAll(identifier);
        setConnectionSettingWithName(QStringLiteral("favourites"), favourites);
    }
    NotificationCenter::defaultCenter().postNotification(favouritesUpdatedNotification);
}

qint64 InfoController::connectionLabel() const
{
    return infoDelegate_ ? infoDelegate_->infoControllerNeedsTabLabel(const_cast<InfoController *>(this)) : 0;
}

QString InfoController::connectionName() const
{
    const QString name =
        infoDelegate_
            ? infoDelegate_->infoControllerNeedsActiveConnectionName(const_cast<InfoController *>(this))
            : QString();
    return name.isNull() ? infoText("Not connected") : name;
}
