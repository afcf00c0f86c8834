#include "transfer/ImportColumn.h"

QString ImportColumn::description() const
{
    return QStringLiteral("column_name %1 map_to %2 (%3 %4 %5) enabled %6 hidden %7 ")
        .arg(column_name, map_to, format, input_column_type, input_column_format)
        .arg(int(enabled))
        .arg(int(hidden));
}
