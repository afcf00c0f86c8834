#include "editor/QueryRecallController.h"

#include "platform/AppFolders.h"
#include "platform/OwnerOnlyFile.h"
#include "platform/Preferences.h"
#include "platform/UserDefaults.h"
#include "sql/SQLParser.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>

namespace
{

const QString componentsKey = QStringLiteral("components");
const QString connectionKey = QStringLiteral("connection");
const QString searchKey = QStringLiteral("search");
const QString matchKey = QStringLiteral("match");
const QString storeKey = QStringLiteral("store");
const QString dateKey = QStringLiteral("date");

const QDateTime referenceDate(QDate(2001, 1, 1), QTime(0, 0), Qt::UTC);

QVariantList archived(const SQLParserComponentList &components)
{
    QVariantList list;
    for (const SQLParserComponentPtr &component : components) {
        QVariantMap coder;
        component->encodeWithCoder(coder);
        list.append(coder);
    }
    return list;
}

SQLParserComponentList unarchived(const QVariant &archive)
{
    SQLParserComponentList components;
    for (const QVariant &coder : archive.toList())
        if (SQLParserComponentPtr component = SQLParserComponent::initWithCoder(coder.toMap()))
            components.append(component);
    return components;
}

// Only entries of the designed form are kept from the file: it may have been edited by hand.
bool isEntry(const QVariant &value)
{
    if (value.typeId() != QMetaType::QVariantMap)
        return false;
    const QVariantMap entry = value.toMap();
    return entry.value(componentsKey).typeId() == QMetaType::QVariantList &&
           entry.value(connectionKey).typeId() == QMetaType::QVariantMap && entry.contains(dateKey) &&
           entry.contains(matchKey);
}

} // namespace

QueryRecallController::QueryRecallController(const QString &filePath) : filePath_(filePath)
{
    timer_.setSingleShot(true);
    timer_.setInterval(saveDelayMilliseconds);
    QObject::connect(&timer_, &QTimer::timeout, [this] { store(); });
    readFile();
    updateConnections();
    updateSearch();
}

QueryRecallController::~QueryRecallController()
{
    if (timer_.isActive())
        store();
    if (QueryHistoryRecorder::shared() == this)
        QueryHistoryRecorder::setShared(nullptr);
}

QueryRecallController *QueryRecallController::sharedController()
{
    // Lives for the rest of the run; a save still pending when the application quits happens then.
    static QueryRecallController *controller = [] {
        auto *instance = new QueryRecallController(defaultFilePath());
        QObject::connect(qApp, &QCoreApplication::aboutToQuit, [instance] {
            if (instance->savePending())
                instance->store();
        });
        return instance;
    }();
    return controller;
}

QString QueryRecallController::defaultFilePath()
{
    return AppFolders::support() + QStringLiteral("/QueryRecall.data");
}

void QueryRecallController::readFile()
{
    QFile file(filePath_);
    if (!file.open(QIODevice::ReadOnly))
        return;
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll());
    for (const QVariant &entry : document.array().toVariantList())
        if (isEntry(entry))
            entries_.append(entry);
}

void QueryRecallController::registerQuery(const SQLParserComponentList &query,
                                          const ConnectionParametersPtr &connectionParameters)
{
    QVariantMap connection = connectionParameters ? connectionParameters->dictionary() : QVariantMap();
    connection.remove(QStringLiteral("password"));
    QVariantMap entry;
    entry.insert(componentsKey, archived(query));
    entry.insert(connectionKey, connection);
    entry.insert(searchKey, searchStringForQuery(query, connection));
    entry.insert(matchKey, matchStringForQuery(query));
    entry.insert(storeKey, false);
    entry.insert(dateKey, secondsSinceReferenceDate(QDateTime::currentDateTimeUtc()));
    addedEntries_.append(entry);
    scheduleStorage();
}

SQLParserComponentList QueryRecallController::componentsForQueryAt(qsizetype row) const
{
    return unarchived(entries_.at(searchEntries_.at(row)).toMap().value(componentsKey));
}

bool QueryRecallController::storeForQueryAt(qsizetype row) const
{
    return entries_.at(searchEntries_.at(row)).toMap().value(storeKey).toBool();
}

double QueryRecallController::dateForQueryAt(qsizetype row) const
{
    return entries_.at(searchEntries_.at(row)).toMap().value(dateKey).toDouble();
}

ConnectionParametersPtr QueryRecallController::connectionParametersForQueryAt(qsizetype row) const
{
    return std::make_shared<ConnectionParameters>(
        entries_.at(searchEntries_.at(row)).toMap().value(connectionKey).toMap());
}

void QueryRecallController::updateStoreForQueryAt(qsizetype row, bool store)
{
    Q_ASSERT_X(row >= 0 && row < searchEntries_.size(), "QueryRecallController", "No such row");
    const qsizetype index = searchEntries_.at(row);
    QVariantMap entry = entries_.at(index).toMap();
    entry.insert(storeKey, store);
    entries_[index] = entry;
    this->store();
}

void QueryRecallController::setSearch(const QString &search)
{
    search_ = search;
    updateSearch();
}

void QueryRecallController::setConnection(ConnectionParametersPtr connection)
{
    connection_ = std::move(connection);
    updateSearch();
}

void QueryRecallController::clear()
{
    for (qsizetype i = entries_.size() - 1; i >= 0; --i)
        if (!entries_.at(i).toMap().value(storeKey).toBool())
            entries_.removeAt(i);
    store();
}

QString QueryRecallController::searchStringForQuery(const SQLParserComponentList &query,
                                                    const QVariantMap &connection)
{
    QString search;
    for (const SQLParserComponentPtr &component : query) {
        switch (component->parserComponentType()) {
        case SQLParserComponent::Comment:
        case SQLParserComponent::Literal:
        case SQLParserComponent::Identifier:
            search += component->string() + u' ';
            break;
        default:
            break;
        }
    }
    if (!connection.isEmpty())
        for (const char *key : {"name", "database", "server", "username", "databaseType"})
            search += connection.value(QLatin1String(key)).toString() + u' ';
    return search;
}

// Tokens are joined by a blank so that "a b" and "ab" stay apart; white space and comments are left out,
// so layout does not count.
QString QueryRecallController::matchStringForQuery(const SQLParserComponentList &query)
{
    QStringList tokens;
    for (const SQLParserComponentPtr &component : query) {
        switch (component->parserComponentType()) {
        case SQLParserComponent::None:
        case SQLParserComponent::InputParameter:
        case SQLParserComponent::Identifier:
            tokens << component->string().toLower();
            break;
        case SQLParserComponent::Literal:
        case SQLParserComponent::QuotedIdentifier:
            tokens << component->string();
            break;
        default:
            break;
        }
    }
    return tokens.join(u' ');
}

double QueryRecallController::secondsSinceReferenceDate(const QDateTime &time)
{
    return double(referenceDate.msecsTo(time)) / 1000.0;
}

QDateTime QueryRecallController::dateFromReferenceSeconds(double seconds)
{
    return referenceDate.addMSecs(qint64(seconds * 1000.0));
}

qsizetype QueryRecallController::itemWithMatchString(const QString &match) const
{
    if (match.isNull())
        return -1;
    for (qsizetype i = 0; i < entries_.size(); ++i)
        if (entries_.at(i).toMap().value(matchKey).toString() == match)
            return i;
    return -1;
}

void QueryRecallController::scheduleStorage()
{
    if (!timer_.isActive())
        timer_.start();
}

void QueryRecallController::store()
{
    timer_.stop();
    for (const QVariant &added : std::as_const(addedEntries_)) {
        QVariantMap entry = added.toMap();
        const qsizetype existing = itemWithMatchString(entry.value(matchKey).toString());
        if (existing >= 0) {
            if (entries_.at(existing).toMap().value(storeKey).toBool())
                entry.insert(storeKey, true);
            entries_.removeAt(existing);
        }
        entries_.prepend(entry);
    }
    addedEntries_.clear();
    const qint64 limit = UserDefaults::standard().integerForKey(PreferenceKey::recallCount);
    for (qsizetype i = entries_.size() - 1; i >= 0; --i)
        if (entries_.size() > limit && !entries_.at(i).toMap().value(storeKey).toBool())
            entries_.removeAt(i);
    // A history that cannot be written stays in memory as it is.
    QDir().mkpath(QFileInfo(filePath_).absolutePath());
    writeOwnerOnlyFile(filePath_,
                       QJsonDocument(QJsonArray::fromVariantList(entries_)).toJson(QJsonDocument::Compact));
    updateConnections();
    updateSearch();
}

void QueryRecallController::updateConnections()
{
    QList<QVariantMap> seen;
    uniqueConnections_.clear();
    for (const QVariant &entry : std::as_const(entries_)) {
        const QVariantMap connection = entry.toMap().value(connectionKey).toMap();
        if (seen.contains(connection))
            continue;
        seen.append(connection);
        uniqueConnections_.append(std::make_shared<ConnectionParameters>(connection));
    }
}

void QueryRecallController::updateSearch()
{
    searchEntries_.clear();
    SQLParser parser;
    const QString terms =
        searchStringForQuery(parser.parsedComponentsForString2(search_), QVariantMap()).trimmed().toLower();
    QStringList words;
    for (const QString &term : terms.split(u' '))
        if (!term.trimmed().isEmpty())
            words << term.trimmed();
    for (qsizetype i = 0; i < entries_.size(); ++i) {
        const QVariantMap entry = entries_.at(i).toMap();
        const QString search = entry.value(searchKey).toString();
        bool matches = std::all_of(words.cbegin(), words.cend(), [&](const QString &word) {
            return search.contains(word, Qt::CaseInsensitive);
        });
        if (matches && connection_)
            matches = ConnectionParameters(entry.value(connectionKey).toMap()).isEqualTo(*connection_);
        if (matches)
            searchEntries_.append(i);
    }
    if (delegate_)
        delegate_->queryRecallControllerUpdated();
}
