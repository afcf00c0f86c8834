#include "transfer/ImportStatements.h"

#include "client/VornImporterClient.h"

#include <QStringList>

QString importStatement(VornImporterClient &importer, const ImportOptions &options, const QString &schema,
                        const QString &table, const QVariantMap &values)
{
    QStringList names;
    QStringList literals;
    for (const ImportColumnPtr &column : options.import_columns) {
        if (!column->enabled || column->map_to.isEmpty())
            continue;
        names.append(importer.qualifiedColumnName(column->map_to));
        if (column->sequence) {
            literals.append(importer.nextValueExpression(schema, column->column_name));
            continue;
        }
        const QString text = values.value(column->map_to).toString();
        literals.append(text.isEmpty() ? QStringLiteral("null")
                                       : importer.safeColumnValue(
                                             text, options.target_column_types.value(column->map_to)));
    }
    return QStringLiteral("INSERT INTO %1(%2) VALUES (%3)")
        .arg(importer.qualifiedTableNameFor(schema, table), names.join(QStringLiteral(", ")),
             literals.join(QStringLiteral(", ")));
}
