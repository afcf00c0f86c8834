#include "ddl/TableScript.h"

#include "ddl/DdlNaming.h"

#include <QStringList>

namespace
{

QString key(const char *name)
{
    return QString::fromLatin1(name);
}

// A number the record holds and that is not negative.
bool given(const QVariantMap &record, const char *name)
{
    return record.contains(key(name)) && record.value(key(name)).toLongLong() >= 0;
}

QString column(const QVariantMap &record, DdlNaming &naming)
{
    QString text = naming.quotedIdentifier(record.value(key("name")).toString()) + ' ' +
                   record.value(key("type")).toString();
    if (given(record, "size")) {
        text += QStringLiteral(" (") + QString::number(record.value(key("size")).toLongLong());
        if (given(record, "precision"))
            text += QStringLiteral(", ") + QString::number(record.value(key("precision")).toLongLong());
        text += ')';
    }
    const QString defaultValue = record.value(key("default")).toString();
    if (!defaultValue.isEmpty())
        text += QStringLiteral(" DEFAULT ") + defaultValue;
    if (record.contains(key("empty")) && !record.value(key("empty")).toBool())
        text += QStringLiteral(" NOT NULL");
    // Written only where the database has such a clause; its own words, not one database's.
    const QString autoNumber =
        record.value(key("autonumber")).toBool() ? naming.autoNumberClause() : QString();
    if (!autoNumber.isEmpty())
        text += ' ' + autoNumber;
    return text;
}

QString constraint(const QVariantMap &record, DdlNaming &naming)
{
    QString text = QStringLiteral(",\n\tCONSTRAINT ") +
                   naming.quotedIdentifier(record.value(key("name")).toString()) + ' ';
    const QString type = record.value(key("type")).toString();
    const QString columnName = naming.quotedIdentifier(record.value(key("column")).toString());
    if (type == QLatin1String("check"))
        return text + QStringLiteral("CHECK (") + record.value(key("check")).toString() + ')';
    if (type == QLatin1String("unique"))
        return text + QStringLiteral("UNIQUE (") + columnName + ')';
    const QVariantMap other = record.value(key("other")).toMap();
    return text + QStringLiteral("foreign key (") + columnName + QStringLiteral(") references ") +
           QStringLiteral("%1 (%2)").arg(naming.qualifiedName(key("TABLE"),
                                                              other.value(key("schema")).toString(),
                                                              other.value(key("table")).toString()),
                                         naming.quotedIdentifier(other.value(key("column")).toString()));
}

} // namespace

DdlScript TableScript::build(const QVariantMap &shared, DdlNaming &naming)
{
    const QString name = shared.value(key("name")).toString();
    const QString table = naming.qualifiedName(key("TABLE"), shared.value(key("schema")).toString(), name);
    QString script = QStringLiteral("CREATE TABLE ") + table + '(';
    const QVariantList columns = shared.value(key("columns")).toList();
    for (qsizetype i = 0; i < columns.size(); ++i)
        script += (i == 0 ? QStringLiteral("\n\t") : QStringLiteral(",\n\t")) +
                  column(columns.at(i).toMap(), naming);
    const QStringList keyColumns = shared.value(key("keyColumns")).toStringList();
    if (!keyColumns.isEmpty() && !shared.value(key("skipKey")).toBool()) {
        QStringList quoted;
        for (const QString &keyColumn : keyColumns)
            quoted << naming.quotedIdentifier(keyColumn);
        script += QStringLiteral(",\n\t constraint ") +
                  naming.quotedIdentifier(QStringLiteral("pk_") + name) + QStringLiteral(" primary key (") +
                  quoted.join(',') + ')';
    }
    for (const QVariant &record : shared.value(key("constraints")).toList())
        script += constraint(record.toMap(), naming);
    script += QStringLiteral("\n)");
    if (shared.contains(key("options"))) {
        const QString options = naming.tableOptionsScript(shared.value(key("options")).toMap());
        if (!options.isEmpty())
            script += ' ' + options;
    }

    DdlScript built{{script}, script + ';'};
    const QString comment = shared.value(key("comment")).toString();
    const QString commentStatement = comment.isEmpty() ? QString() : naming.commentSql(table, comment);
    if (!commentStatement.isEmpty()) {
        built.statements << commentStatement;
        built.text = QStringLiteral("%1;\n\n%2;").arg(script, commentStatement);
    }
    return built;
}
