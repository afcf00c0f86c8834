#include "document/DocumentHelper.h"

#include "platform/Bundle.h"
#include "platform/UserDefaults.h"
#include "platform/Website.h"

#include <QDateTime>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

#include <pwd.h>
#include <unistd.h>

namespace
{

const QString headerStart = QStringLiteral("/* Vorn Reconnect: server:");
const QString commentEnd = QStringLiteral("*/");
const QString currentMarker = QStringLiteral("\"application\":\"Vorn 3\"");

// Each pair is applied in this order when writing and in reverse order when reading.
const std::pair<QString, QString> jsonEscapes[] = {
    {QStringLiteral("\\"), QStringLiteral("\\\\")},
    {QStringLiteral("*/"), QStringLiteral("\\*\\/")},
    {QStringLiteral("--"), QStringLiteral("\\-\\-")},
    {QStringLiteral("#"), QStringLiteral("\\#")},
};

const std::pair<const char *, const char *> vorn2ValueEscapes[] = {
    {"&encpllus]]", "+"},  {"&encminus]]", "-"},  {"&encsemi]]", ";"},
    {"&enceocom]]", "*/"}, {"&encenwln]]", "\n"},
};

double secondsSinceReferenceDate()
{
    return QDateTime::currentMSecsSinceEpoch() / 1000.0 - 978307200.0;
}

// The informative connection text is ignored by readers, but it must neither end the comment, nor
// put a brace in front of the settings, nor break the header's first line.
QString informative(const QString &value)
{
    if (value.isNull())
        return QStringLiteral("(null)");
    QString text = value;
    return text.replace(commentEnd, QLatin1String("* /"))
        .replace('{', QLatin1Char('('))
        .replace('}', QLatin1Char(')'))
        .replace('\n', QLatin1Char(' '))
        .replace('\r', QLatin1Char(' '));
}

QString connectionText(const ConnectionParameters *parameters)
{
    if (!parameters)
        return QStringLiteral("server:;database:;username:;databasetype:;");
    return QStringLiteral("server:%1:%2;database:%3;username:%4;databasetype:%5;")
        .arg(informative(parameters->server()), informative(parameters->port()),
             informative(parameters->database()), informative(parameters->userName()),
             informative(parameters->databaseType()));
}

QString escapedJson(const QJsonObject &object)
{
    QString json = QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact));
    for (const auto &[plain, escaped] : jsonEscapes)
        json.replace(plain, escaped);
    return json;
}

QString unescapedJson(QString json)
{
    for (auto it = std::rbegin(jsonEscapes); it != std::rend(jsonEscapes); ++it)
        json.replace(it->second, it->first);
    return json;
}

// Whether sql starts with a whole header comment: its server field closed on the first line, and
// every further line up to the first "*/" a comment line ("*" after the indent), as Vorn writes
// them. A user's comment that merely starts the same way, or one left open (so that a later
// comment's end would close it, and the SQL between would be taken for the header), is not one.
bool startsWithCompleteHeader(const QString &sql)
{
    if (!sql.startsWith(headerStart))
        return false;
    const qsizetype end = sql.indexOf(commentEnd);
    if (end < 0)
        return false;
    qsizetype lineEnd = sql.indexOf('\n');
    const qsizetype serverEnd = sql.indexOf(';', headerStart.size());
    if (serverEnd < 0 || serverEnd > end || (lineEnd >= 0 && serverEnd > lineEnd))
        return false;
    while (lineEnd >= 0 && lineEnd < end) {
        const qsizetype lineStart = lineEnd + 1;
        qsizetype first = lineStart;
        while (first < sql.size() && (sql.at(first) == ' ' || sql.at(first) == '\t'))
            ++first;
        if (first >= sql.size() || sql.at(first) != '*')
            return false;
        lineEnd = sql.indexOf('\n', lineStart);
    }
    return true;
}

// The first line of a previous-generation header holds only its fields ("name:value;", the last
// one possibly without its ";"): a comment of the user's with other words in it is not a header.
bool holdsOnlyVorn2Fields(const QString &sql)
{
    static const QString field =
        QStringLiteral("(?:server|database|username|databasetype|description|author|arguments):[^;\\n]*");
    static const QRegularExpression fields(QStringLiteral("^(?:%1;)*(?:%1)?\\s*$").arg(field));
    const qsizetype start = headerStart.size() - QStringLiteral("server:").size();
    qsizetype end = sql.indexOf(commentEnd);
    const qsizetype lineEnd = sql.indexOf('\n');
    if (lineEnd >= 0 && lineEnd < end)
        end = lineEnd;
    return fields.match(sql.mid(start, end - start)).hasMatch();
}

// The text after a comment that ends at end (the index of "*/"), less one line feed.
QString textAfterHeader(const QString &sql, qsizetype end)
{
    QString rest = sql.mid(end + commentEnd.size());
    if (rest.startsWith('\n'))
        rest.remove(0, 1);
    return rest;
}

// A previous-generation field: from just after its name up to the next ";". A field without
// its ";" has no value.
QString vorn2Field(const QString &header, const QString &name)
{
    const qsizetype start = header.indexOf(name);
    if (start < 0)
        return QString();
    const qsizetype valueStart = start + name.size();
    const qsizetype end = header.indexOf(';', valueStart);
    return end < 0 ? QString() : header.mid(valueStart, end - valueStart);
}

} // namespace

QString DocumentHelper::userFullName()
{
    if (const passwd *entry = getpwuid(getuid())) {
        const QString fullName = QString::fromLocal8Bit(entry->pw_gecos).section(',', 0, 0).trimmed();
        return fullName.isEmpty() ? QString::fromLocal8Bit(entry->pw_name) : fullName;
    }
    return qEnvironmentVariable("USER");
}

QString DocumentHelper::applicationVersion()
{
    const Bundle bundle = Bundle::mainBundle();
    return QStringLiteral("%1 (%2)").arg(
        bundle.objectForInfoDictionaryKey("CFBundleShortVersionString").toString(),
        bundle.objectForInfoDictionaryKey("BuildNumber").toString());
}

bool DocumentHelper::createStorageSettingsForSQL(QString &sql,
                                                 const ConnectionParameters *connectionParameters,
                                                 const QVariantMap &queryArguments,
                                                 const QVariantMap &documentOptions)
{
    QVariantMap options = documentOptions;
    options.insert(QStringLiteral("application"), QStringLiteral("Vorn 3"));
    options.insert(QStringLiteral("applicationVersion"), applicationVersion());
    QJsonObject settings;
    settings.insert(QStringLiteral("connection"),
                    QJsonObject::fromVariantMap(connectionParameters ? connectionParameters->dictionary()
                                                                     : QVariantMap()));
    settings.insert(QStringLiteral("arguments"), QJsonObject::fromVariantMap(queryArguments));
    settings.insert(QStringLiteral("documentOptions"), QJsonObject::fromVariantMap(options));

    sql.prepend(QStringLiteral("/* Vorn Reconnect: %1 %2 \n"
                               " * This section is part of the Vorn database client application, it can "
                               "safely be removed.\n"
                               " * More info at %3 */\n")
                    .arg(connectionText(connectionParameters), escapedJson(settings), Website::home));
    return true;
}

bool DocumentHelper::obtainStoredSettingsFromSql(QString &sql, ConnectionParametersPtr &connectionParameters,
                                                 std::optional<QVariantMap> &queryArguments,
                                                 std::optional<QVariantMap> &documentOptions,
                                                 UserDefaults *defaults)
{
    if (!startsWithCompleteHeader(sql))
        return false;
    const qsizetype end = sql.indexOf(commentEnd);
    const qsizetype marker = sql.indexOf(currentMarker);
    if (end >= 0 && marker >= 0 && marker < end)
        return readCurrentGeneration(sql, connectionParameters, queryArguments, documentOptions, defaults);
    return readPreviousGeneration(sql, connectionParameters, queryArguments, documentOptions, defaults);
}

bool DocumentHelper::readCurrentGeneration(QString &sql, ConnectionParametersPtr &connectionParameters,
                                           std::optional<QVariantMap> &queryArguments,
                                           std::optional<QVariantMap> &documentOptions,
                                           UserDefaults *defaults)
{
    const qsizetype end = sql.indexOf(commentEnd);
    const QString header = sql.left(end + commentEnd.size());
    sql = textAfterHeader(sql, end);

    const qsizetype open = header.indexOf('{');
    const qsizetype close = header.lastIndexOf('}');
    if (open < 0 || close <= open)
        return readPreviousGeneration(sql, connectionParameters, queryArguments, documentOptions, defaults);

    QJsonParseError error;
    const QJsonDocument json =
        QJsonDocument::fromJson(unescapedJson(header.mid(open, close - open + 1)).toUtf8(), &error);
    if (error.error == QJsonParseError::NoError && json.isObject()) {
        const QJsonObject settings = json.object();
        if (settings.contains(QStringLiteral("connection")))
            connectionParameters = std::make_shared<ConnectionParameters>(
                settings.value(QStringLiteral("connection")).toObject().toVariantMap());
        if (settings.contains(QStringLiteral("arguments")))
            queryArguments = settings.value(QStringLiteral("arguments")).toObject().toVariantMap();
        if (settings.contains(QStringLiteral("documentOptions")))
            documentOptions = settings.value(QStringLiteral("documentOptions")).toObject().toVariantMap();
        else
            documentOptions.reset();
    }
    return true;
}

bool DocumentHelper::readPreviousGeneration(QString &sql, ConnectionParametersPtr &connectionParameters,
                                            std::optional<QVariantMap> &queryArguments,
                                            std::optional<QVariantMap> &documentOptions,
                                            UserDefaults *defaults)
{
    if (!startsWithCompleteHeader(sql) || !holdsOnlyVorn2Fields(sql))
        return false;
    const qsizetype end = sql.indexOf(commentEnd);
    const QString header = sql.left(end);
    sql = textAfterHeader(sql, end);

    QString databaseType = vorn2Field(header, QStringLiteral("databasetype:"));
    if (databaseType.isNull())
        databaseType = QStringLiteral("Oracle");
    QString author = vorn2Field(header, QStringLiteral("author:"));
    if (author.isNull())
        author = userFullName();
    connectionParameters = connectionParametersForVorn2Server(
        vorn2Field(header, QStringLiteral("server:")), vorn2Field(header, QStringLiteral("database:")),
        vorn2Field(header, QStringLiteral("username:")), databaseType,
        vorn2Field(header, QStringLiteral("description:")), defaults);
    const QString arguments = vorn2Field(header, QStringLiteral("arguments:"));
    queryArguments = arguments.isNull() ? QVariantMap() : parseVorn2QueryArguments(arguments);
    documentOptions = QVariantMap{{QStringLiteral("creator"), author},
                                  {QStringLiteral("created"), secondsSinceReferenceDate()},
                                  {QStringLiteral("application"), QStringLiteral("Vorn")},
                                  {QStringLiteral("applicationVersion"), QStringLiteral("2")}};
    return true;
}

QVariantMap DocumentHelper::parseVorn2QueryArguments(const QString &arguments)
{
    QVariantMap parsed;
    for (const QString &entry : arguments.split('-')) {
        const QStringList parts = entry.split('+');
        if (parts.size() != 2)
            continue;
        QString value = parts.at(1);
        for (const auto &[escape, character] : vorn2ValueEscapes)
            value.replace(QLatin1String(escape), QLatin1String(character));
        parsed.insert(parts.at(0), value);
    }
    return parsed;
}

ConnectionParametersPtr
DocumentHelper::connectionParametersForVorn2Server(const QString &server, const QString &database,
                                                   const QString &username, const QString &databaseType,
                                                   const QString &description, UserDefaults *defaults)
{
    const QStringList serverParts = server.split(':');
    const QString host = serverParts.at(0);
    const QString port = serverParts.size() >= 2 ? serverParts.at(1) : QString("");

    UserDefaults &store = defaults ? *defaults : UserDefaults::standard();
    for (const QVariant &stored : store.arrayForKey(QStringLiteral("allConnections"))) {
        auto candidate = std::make_shared<ConnectionParameters>(stored.toMap());
        if (nullsEmptyEqual(candidate->databaseType(), databaseType) &&
            nullsEmptyEqual(candidate->server(), host) && nullsEmptyEqual(candidate->database(), database) &&
            nullsEmptyEqual(candidate->port(), port) && nullsEmptyEqual(candidate->userName(), username))
            return candidate;
    }
    auto parameters = std::make_shared<ConnectionParameters>();
    parameters->setDatabase(database);
    parameters->setServer(host);
    parameters->setDatabaseType(databaseType);
    parameters->setPort(port);
    parameters->setUserName(username);
    parameters->setConnectionName(description);
    return parameters;
}

bool DocumentHelper::nullsEmptyEqual(const QString &first, const QString &second)
{
    if (first.isEmpty() || second.isEmpty())
        return first.isEmpty() && second.isEmpty();
    return first == second;
}
