#pragma once

#include <QString>

// A statement that runs for a minute or more on the database type ("PostgreSQL", "MySQL", else
// SQLite) unless it is cancelled.
inline QString longStatementFor(const QString &databaseType)
{
    if (databaseType == QLatin1String("PostgreSQL"))
        return QStringLiteral("SELECT pg_sleep(60)");
    if (databaseType == QLatin1String("MySQL"))
        return QStringLiteral("SELECT BENCHMARK(5000000000, MD5('vorn'))");
    return QStringLiteral(
        "WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM c WHERE x < 5000000000) "
        "SELECT count(*) FROM c");
}
