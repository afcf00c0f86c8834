#include "ddl/DdlPrimaryKeys.h"

QList<DdlPrimaryKey> DdlPrimaryKeys::wholeKeys(const QList<PrimaryKeyColumn> &columns)
{
    QList<DdlPrimaryKey> keys;
    for (const PrimaryKeyColumn &column : columns) {
        auto key = std::find_if(keys.begin(), keys.end(), [&column](const DdlPrimaryKey &key) {
            return key.schema == column.schema && key.table == column.table;
        });
        if (key == keys.end())
            keys << DdlPrimaryKey{column.schema, column.table, {column.column}};
        else
            key->columns << column.column;
    }
    return keys;
}

QString DdlPrimaryKeys::title(const DdlPrimaryKey &key)
{
    return QStringLiteral("%1 (%2)").arg(key.table, key.columns.join(QStringLiteral(", ")));
}
