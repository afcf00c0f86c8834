#include "browser/InfoContentBuilders.h"

#include "browser/InfoText.h"

#include <cmath>

namespace
{
using Group = InfoItemGroup;

bool has(const QVariantMap &map, const QString &key)
{
    const QVariant value = map.value(key);
    return value.isValid() && !value.isNull();
}

QString text(const QVariantMap &map, const QString &key)
{
    return map.value(key).toString();
}

InfoItem line(const QString &value)
{
    return InfoItem::itemWithNameValue(QString(), value);
}

InfoItem labelled(const char *label, const QString &value)
{
    return InfoItem::itemWithNameValue(infoText(label), value);
}

InfoItem heading(const QString &name, const BrowserElementPtr &link)
{
    InfoItem item = InfoItem::itemWithNameValue(name, QString());
    item.element = link;
    return item;
}

QString yesNo(const QString &value, const char *yes, const char *no)
{
    if (value.compare(QLatin1String(yes), Qt::CaseInsensitive) == 0)
        return infoText("Yes");
    if (value.compare(QLatin1String(no), Qt::CaseInsensitive) == 0)
        return infoText("No");
    return value;
}

QString joined(const QVariant &list)
{
    return list.toStringList().join(QStringLiteral(", "));
}

// The description and type label of a constraint in the general information.
struct ConstraintTexts {
    QString description;
    QString typeLabel;
};

ConstraintTexts constraintTexts(const QVariantMap &g)
{
    const QString type = text(g, "constraint_type");
    const QString columns = joined(g.value("constraintColumns"));
    if (type == QLatin1String("P"))
        return {QStringLiteral("%1, %2").arg(columns, infoText("primary key")), infoText("Primary key")};
    if (type == QLatin1String("U"))
        return {QStringLiteral("%1, %2").arg(columns, infoText("unique")), infoText("Unique")};
    if (type == QLatin1String("C") && has(g, "search_condition"))
        return {text(g, "search_condition"), infoText("Check")};
    if (type == QLatin1String("R") && has(g, "referencetable") && has(g, "referencefirstcolumn"))
        return {QStringLiteral("%1 %2 %3 (%4)")
                    .arg(columns, infoText("references"), text(g, "referencetable"),
                         text(g, "referencefirstcolumn")),
                infoText("Referential")};
    return {QString(), type};
}
} // namespace

QString InfoContentBuilders::catalogLabel(const QVariant &term)
{
    if (!term.isValid() || term.isNull())
        return QStringLiteral("Catalog");
    const QString word = term.toString();
    if (word == QLatin1String("database"))
        return QStringLiteral("Database");
    if (word == QLatin1String("catalog"))
        return QStringLiteral("Catalog");
    return word;
}

QString InfoContentBuilders::schemaLabel(const QVariant &term)
{
    if (!term.isValid() || term.isNull())
        return QStringLiteral("Schema");
    const QString word = term.toString();
    if (word == QLatin1String("database"))
        return QStringLiteral("Database");
    if (word == QLatin1String("schema"))
        return QStringLiteral("Schema");
    return word;
}

QString InfoContentBuilders::timingText(double seconds)
{
    const qint64 hundredths = std::llround(std::max(0.0, seconds) * 100);
    return QStringLiteral("%1.%2%3 %4")
        .arg(hundredths / 100)
        .arg((hundredths / 10) % 10)
        .arg(hundredths % 10)
        .arg(infoText("seconds"));
}

InfoItemGroup InfoContentBuilders::textGroup(const QString &text)
{
    return Group::groupWithTitle(QString(), {line(text)}, Group::WrapValue);
}

QList<InfoItemGroup> InfoContentBuilders::generalGroups(const QVariantMap &g, const LinkMaker &link)
{
    QList<Group> groups;
    const QString type = text(g, "type");

    QList<InfoItem> main{labelled("Name", text(g, "name"))};
    if (has(g, "catalog"))
        main << InfoItem::itemWithNameValue(catalogLabel(g.value("catalogTerm")), text(g, "catalog"));
    if (has(g, "schema"))
        main << InfoItem::itemWithNameValue(schemaLabel(g.value("schemaTerm")), text(g, "schema"));
    main << labelled("Type", type);
    if (has(g, "tablespace"))
        main << labelled("Tablespace", text(g, "tablespace"));
    if (has(g, "partitions"))
        main << labelled("Partitions", QString::number(g.value("partitions").toList().size()));
    groups << Group::groupWithTitle(QString(), main);

    if (has(g, "primaryKeyColumns")) {
        const QStringList key = g.value("primaryKeyColumns").toStringList();
        if (!key.isEmpty())
            groups << Group::groupWithTitle(infoText("Primary key"), {line(joined(key))},
                                            Group::AlignValueRight);
    } else if (type == QLatin1String("TABLE")) {
        groups << Group::groupWithTitle(infoText("Primary key"), {line(QStringLiteral("-"))},
                                        Group::AlignValueRight);
    }

    if (has(g, "tablename")) {
        InfoItem table = line(text(g, "tablename"));
        table.element = link(text(g, "tablename"), QStringLiteral("TABLE"), BrowserElement::Table);
        groups << Group::groupWithTitle(infoText("Table"), {table});
    }

    const ConstraintTexts constraint = has(g, "constraint_type") ? constraintTexts(g) : ConstraintTexts{};
    if (!constraint.typeLabel.isEmpty())
        groups << Group::groupWithTitle(infoText("Constraint type"), {line(constraint.typeLabel)});
    if (has(g, "referencetable")) {
        InfoItem reference = labelled("References", text(g, "referencetable"));
        reference.element = link(text(g, "referencetable"), QStringLiteral("TABLE"), BrowserElement::Table);
        groups << Group::groupWithTitle(QString(), {reference});
    }
    if (!constraint.description.isEmpty())
        groups << Group::groupWithTitle(infoText("Description"), {line(constraint.description)},
                                        Group::WrapValue);

    if (has(g, "uniqueness"))
        groups << Group::groupWithTitle(
            QString(), {labelled("Unique", yesNo(text(g, "uniqueness"), "UNIQUE", "NONUNIQUE")),
                        labelled("Status", text(g, "status"))});

    QList<InfoItem> statistics;
    if (has(g, "rows"))
        statistics << labelled("Number of records", text(g, "rows"));
    if (has(g, "lastAnalyzed"))
        statistics << labelled("Date", text(g, "lastAnalyzed"));
    if (!statistics.isEmpty())
        groups << Group::groupWithTitle(infoText("Last analysis"), statistics, Group::OwnNameWidth);

    if (type == QLatin1String("TABLE")) {
        QList<InfoItem> options;
        if (has(g, "logging"))
            options << labelled("Logging", yesNo(text(g, "logging"), "YES", "NO"));
        if (has(g, "temporary"))
            options << labelled("Temporary table", yesNo(text(g, "temporary"), "Y", "N"));
        if (has(g, "backedup"))
            options << labelled("Backed up", yesNo(text(g, "backedup"), "Y", "N"));
        if (has(g, "engine"))
            options << labelled("Engine", text(g, "engine"));
        if (has(g, "collation"))
            options << labelled("Collation", text(g, "collation"));
        if (!options.isEmpty())
            groups << Group::groupWithTitle(infoText("Table options"), options);
    }

    if (has(g, "comment"))
        groups << Group::groupWithTitle(infoText("Comment"), {line(text(g, "comment"))}, Group::WrapValue);
    return groups;
}

QList<InfoItemGroup> InfoContentBuilders::columnGroups(const QVariantList &columns)
{
    QList<Group> groups;
    QList<InfoItem> plain;
    for (const QVariant &entry : columns) {
        const QVariantMap c = entry.toMap();
        QString type = text(c, "type");
        if (has(c, "size"))
            type = QStringLiteral("%1 (%2)").arg(type, text(c, "size"));
        if (has(c, "default"))
            type = QStringLiteral("%1, %2 %3").arg(type, infoText("default"), text(c, "default"));
        if (c.contains(QStringLiteral("NoNulls")))
            type = QStringLiteral("%1, %2").arg(type, infoText("not null"));
        if (has(c, "ptype"))
            type = QStringLiteral("%1 (%2)").arg(type, text(c, "ptype").toLower());
        if (type.isEmpty())
            type = QStringLiteral(".");
        if (text(c, "name") == QLatin1String("___RETURN___"))
            groups << Group::groupWithTitle(
                QString(), {InfoItem::itemWithNameValue(infoText("Function result"), QString()), line(type)},
                Group::BoldName);
        else
            plain << InfoItem::itemWithNameValue(text(c, "name"), type);
    }
    groups << Group::groupWithTitle(QString(), plain, Group::ValueFillsRow | Group::WrapValue);
    return groups;
}

QList<InfoItemGroup> InfoContentBuilders::indexGroups(const QVariantMap &indexes, const LinkMaker &link)
{
    const QStringList names = indexes.value("names").toStringList();
    if (names.isEmpty())
        return {Group::groupWithTitle(QString(),
                                      {heading(infoText("This table does not have indexes"), nullptr)})};
    const QVariantMap columns = indexes.value("columns").toMap();
    const QVariantMap unicity = indexes.value("unicity").toMap();
    const QVariantMap partitions = indexes.value("indexPartitions").toMap();
    QList<Group> groups;
    for (const QString &name : names) {
        const QStringList entries = columns.value(name).toStringList();
        QStringList parts;
        for (qsizetype i = 0; i < entries.size(); i += 2) {
            const QString direction = i + 1 < entries.size() ? entries.at(i + 1) : QString();
            parts << entries.at(i) + (direction == QLatin1String("A")   ? QStringLiteral(" asc")
                                      : direction == QLatin1String("D") ? QStringLiteral(" desc")
                                                                        : QString());
        }
        QString description = parts.join(QStringLiteral(", "));
        const QString unique = unicity.value(name).toString();
        if (unique == QLatin1String("UNIQUE"))
            description += QStringLiteral(" (%1)").arg(infoText("unique"));
        else if (unique == QLatin1String("NONUNIQUE"))
            description += QStringLiteral(" (%1)").arg(infoText("non-unique"));
        if (partitions.contains(name)) {
            const QVariantMap p = partitions.value(name).toMap();
            const QString count = text(p, "partitionCount");
            const QString kind =
                has(p, "partitioningType") ? text(p, "partitioningType") : infoText("unknown");
            QString sentence;
            if (!has(p, "locality"))
                sentence = infoText("Partitioned with %1 '%2' partitions").arg(count, kind);
            else if (text(p, "locality") == QLatin1String("LOCAL"))
                sentence = infoText("Locally partitioned with %1 '%2' partitions").arg(count, kind);
            else if (text(p, "locality") == QLatin1String("GLOBAL"))
                sentence = infoText("Globally partitioned with %1 '%2' partitions").arg(count, kind);
            else
                sentence =
                    infoText("%1 partitioned with %2 '%3' partitions").arg(text(p, "locality"), count, kind);
            description += QLatin1Char('\n') + sentence;
        }
        if (description.isEmpty())
            description = QStringLiteral(".");
        groups << Group::groupWithTitle(
            QString(),
            {heading(name, link(name, QStringLiteral("INDEX"), BrowserElement::Index)), line(description)},
            Group::BoldName | Group::WrapValue);
    }
    return groups;
}

QList<InfoItemGroup> InfoContentBuilders::constraintGroups(const QVariantList &constraints,
                                                           const LinkMaker &link)
{
    if (constraints.isEmpty())
        return {Group::groupWithTitle(QString(),
                                      {heading(infoText("This table does not have constraints"), nullptr)})};
    QList<Group> groups;
    bool externalHeading = false;
    for (const QVariant &entry : constraints) {
        const QVariantMap c = entry.toMap();
        const QString type = text(c, "type");
        const QString columns = joined(c.value("constraintColumns"));
        if (type == QLatin1String("EXT") && !externalHeading) {
            groups << Group::groupWithTitle(infoText("External constraints"), {});
            externalHeading = true;
        } else if (groups.isEmpty()) {
            groups << Group::groupWithTitle(infoText("Local constraints"), {});
        }
        QString description = columns;
        if (type == QLatin1String("P"))
            description = QStringLiteral("%1, %2").arg(columns, infoText("primary key"));
        else if (type == QLatin1String("U"))
            description = QStringLiteral("%1, %2").arg(columns, infoText("unique"));
        else if (type == QLatin1String("C") && has(c, "condition"))
            description = text(c, "condition");
        QList<InfoItem> items{heading(text(c, "name"), link(text(c, "name"), QStringLiteral("CONSTRAINT"),
                                                            BrowserElement::Constraint)),
                              line(description)};
        if (type == QLatin1String("R") && has(c, "othertable") && has(c, "otherfirstcolumn"))
            items << line(QStringLiteral("%1 %2").arg(infoText("references"), text(c, "othertable")));
        else if (type == QLatin1String("EXT"))
            items << line(QStringLiteral("%1 %2").arg(infoText("is referenced by"), text(c, "othertable")));
        groups << Group::groupWithTitle(QString(), items, Group::BoldName);
    }
    return groups;
}

QList<InfoItemGroup> InfoContentBuilders::partitionGroups(const QVariantMap &generic)
{
    const QVariantList partitions = generic.value("partitions").toList();
    if (partitions.isEmpty())
        return {Group::groupWithTitle(QString(), {line(infoText("This object is not partitioned"))})};
    const QString type =
        has(generic, "partitioningType") ? text(generic, "partitioningType") : QStringLiteral("-");
    QList<Group> groups{
        Group::groupWithTitle(QString(), {labelled("Partitioning type", type),
                                          labelled("Partitions", QString::number(partitions.size()))})};
    for (const QVariant &entry : partitions) {
        const QVariantMap p = entry.toMap();
        QString description;
        if (has(p, "highValue")) {
            const QString high = text(p, "highValue");
            if ((type == QLatin1String("RANGE") && high == QLatin1String("MAXVALUE")) ||
                (type == QLatin1String("LIST") && high == QLatin1String("DEFAULT")))
                description = infoText("Rest values");
            else if (type == QLatin1String("LIST"))
                description = (high.contains(QLatin1Char(',')) ? infoText("Values %1") : infoText("Value %1"))
                                  .arg(high);
            else
                description = infoText("High value %1").arg(high);
            if (has(p, "rows"))
                description = infoText("%1 (%2 rows)").arg(description, text(p, "rows"));
        } else if (has(p, "rows")) {
            description = infoText("%1 rows").arg(text(p, "rows"));
        }
        groups << Group::groupWithTitle(QString(), {heading(text(p, "name"), nullptr), line(description)},
                                        Group::BoldName);
    }
    return groups;
}

QList<InfoItemGroup> InfoContentBuilders::triggerGroups(const QStringList &triggers)
{
    if (triggers.isEmpty())
        return {Group::groupWithTitle(QString(), {line(infoText("This object does not have triggers"))})};
    QList<InfoItem> items;
    for (const QString &name : triggers)
        items << heading(name, nullptr);
    return {Group::groupWithTitle(QString(), items, Group::BoldName)};
}

QList<InfoItemGroup> InfoContentBuilders::ddlGroups(const QString &ddl)
{
    const QString trimmed = ddl.trimmed();
    return {textGroup(trimmed.isEmpty() ? infoText("DDL for this object is not available") : trimmed)};
}
