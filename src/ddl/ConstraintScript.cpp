#include "ddl/ConstraintScript.h"

#include "ddl/DdlNaming.h"

#include <QStringList>

namespace
{

QString kindWord(const QString &type)
{
    if (type == QLatin1String("UNIQUE"))
        return QStringLiteral(" UNIQUE ");
    if (type == QLatin1String("PRIMARYKEY"))
        return QStringLiteral(" PRIMARY KEY ");
    if (type == QLatin1String("FOREIGNKEY"))
        return QStringLiteral(" FOREIGN KEY ");
    return QStringLiteral(" CHECK ");
}

} // namespace

DdlScript ConstraintScript::build(const QVariantMap &shared, DdlNaming &naming)
{
    const auto value = [&shared](const char *key) {
        return shared.value(QString::fromLatin1(key)).toString();
    };
    const QString type = value("type");
    const QString table = QStringLiteral("TABLE");
    QString script =
        QStringLiteral("ALTER TABLE ") + naming.qualifiedName(table, value("schema"), value("table")) +
        QStringLiteral("\n\tADD CONSTRAINT ") + naming.quotedIdentifier(value("name")) + kindWord(type) + '(';
    if (type == QLatin1String("CONDITIONAL")) {
        script += value("condition").trimmed();
    } else {
        QStringList columns;
        for (const QString &column : shared.value(QStringLiteral("columns")).toStringList())
            columns << naming.quotedIdentifier(column);
        script += columns.join(QStringLiteral(", "));
    }
    script += ')';
    if (type == QLatin1String("FOREIGNKEY")) {
        // The referred table, then the columns of its key.
        const QStringList references = shared.value(QStringLiteral("references")).toStringList();
        const QString quote = naming.identifierQuoteString();
        QStringList referred;
        for (QString column : references.mid(1)) {
            // A quote inside the catalogue's name is doubled, as the database reads it back.
            if (!quote.isEmpty())
                column.replace(quote, quote + quote);
            referred << quote + column + quote;
        }
        script += QStringLiteral(" REFERENCES ") +
                  naming.qualifiedName(table, value("schema"), references.value(0)) + '(' +
                  referred.join(QStringLiteral(", ")) + ')';
    }
    if (shared.contains(QStringLiteral("options"))) {
        const QString options =
            naming.constraintOptionsScript(shared.value(QStringLiteral("options")).toMap());
        if (!options.isEmpty())
            script += ' ' + options;
    }
    return {{script}, script + ';'};
}
