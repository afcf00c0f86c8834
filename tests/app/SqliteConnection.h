#pragma once

#include "connection/ConnectionParameters.h"

#include <QFile>

#include <memory>

// A saved connection to a new, empty SQLite file (the backend opens an empty file as a database).
inline ConnectionParametersPtr sqliteConnection(const QString &databasePath, const QString &name)
{
    QFile file(databasePath);
    if (!file.open(QIODevice::WriteOnly))
        return nullptr;
    file.close();
    return std::make_shared<ConnectionParameters>(QVariantMap{{"name", name},
                                                              {"databaseType", "SQLite"},
                                                              {"server", ""},
                                                              {"port", ""},
                                                              {"database", databasePath},
                                                              {"username", ""},
                                                              {"autocommit", qint64(1)},
                                                              {"label", qint64(0)}});
}
