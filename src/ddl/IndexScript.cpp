#include "ddl/IndexScript.h"

#include "ddl/DdlNaming.h"

#include <QStringList>

DdlScript IndexScript::build(const QVariantMap &shared, DdlNaming &naming)
{
    const auto value = [&shared](const char *key) {
        return shared.value(QString::fromLatin1(key)).toString();
    };
    const QString type = value("type");
    QString script = type == QLatin1String("BITMAP")   ? QStringLiteral("CREATE BITMAP INDEX ")
                     : type == QLatin1String("UNIQUE") ? QStringLiteral("CREATE UNIQUE INDEX ")
                                                       : QStringLiteral("CREATE INDEX ");
    script += naming.indexesAreLocalOnTable()
                  ? naming.quotedIdentifier(value("name"))
                  : naming.qualifiedName(QStringLiteral("INDEX"), value("schema"), value("name"));
    script += QStringLiteral(" ON ") + naming.indexedTableName(value("schema"), value("table"));
    const bool directions = naming.indexesSupportDirection();
    QStringList entries;
    for (const QVariant &entry : shared.value(QStringLiteral("columns")).toList()) {
        const QVariantMap column = entry.toMap();
        const QString name = column.value(QStringLiteral("name")).toString();
        if (column.value(QStringLiteral("type")).toString() == QLatin1String("expression"))
            entries << name;
        else if (directions)
            entries << naming.quotedIdentifier(name) + ' ' +
                           column.value(QStringLiteral("direction")).toString();
        else
            entries << naming.quotedIdentifier(name);
    }
    script += QStringLiteral("\n(\n\t") + entries.join(QStringLiteral(",\n\t")) + QStringLiteral("\n)");
    if (shared.contains(QStringLiteral("options"))) {
        const QString options = naming.indexOptionsScript(shared.value(QStringLiteral("options")).toMap());
        if (!options.isEmpty())
            script += ' ' + options;
    }
    return {{script}, script + ';'};
}
