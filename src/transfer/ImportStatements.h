#pragma once

#include "transfer/ImportOptions.h"

#include <QString>
#include <QVariantMap>

class VornImporterClient;

// The INSERT text of one row of target values, as the backend quotes names and values: a sequence
// column takes the database's next-value expression, a column without a value NULL.
QString importStatement(VornImporterClient &importer, const ImportOptions &options, const QString &schema,
                        const QString &table, const QVariantMap &values);
