#pragma once

#include "client/VornAssistantClient.h"

#include <QList>
#include <QStringList>

// One whole primary key of a table: a foreign key must refer to all of its columns.
struct DdlPrimaryKey {
    QString schema;
    QString table;
    QStringList columns;
};

namespace DdlPrimaryKeys
{
// The catalogue's key columns grouped into whole keys, in the order the catalogue gave them.
QList<DdlPrimaryKey> wholeKeys(const QList<PrimaryKeyColumn> &columns);
// "table (a, b)" as the choices show a key.
QString title(const DdlPrimaryKey &key);
} // namespace DdlPrimaryKeys
