#pragma once

// What the PostgreSQL benchmarks share: the test server from the environment (source the file
// scripts/test-servers writes), psql's own timings of a script, and the median of repeated runs.
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QString>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace PostgresBench
{

struct Server {
    QString host = qEnvironmentVariable("VORN_PG_HOST");
    QString port = qEnvironmentVariable("VORN_PG_PORT");
    QString database = qEnvironmentVariable("VORN_PG_DATABASE");
    QString user = qEnvironmentVariable("VORN_PG_USER");
    QString password = qEnvironmentVariable("VORN_PG_PASSWORD");
};

[[noreturn]] inline void fail(const QString &message)
{
    std::fprintf(stderr, "%s\n", qPrintable(message));
    std::exit(1);
}

// The "Time:" figures psql prints for each statement of the script, in order.
inline std::vector<double> psqlTimings(const Server &server, const QString &script)
{
    QProcess psql;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("PGPASSWORD", server.password);
    psql.setProcessEnvironment(environment);
    psql.start("psql", {"-X", "-q", "-h", server.host, "-p", server.port, "-U", server.user, "-d",
                        server.database, "-f", "-"});
    psql.write(("\\timing on\n" + script).toUtf8());
    psql.closeWriteChannel();
    if (!psql.waitForFinished(600000) || psql.exitCode() != 0)
        fail("psql failed: " + QString::fromUtf8(psql.readAllStandardError()));
    std::vector<double> timings;
    static const QRegularExpression time("^Time: ([0-9.]+) ms", QRegularExpression::MultilineOption);
    auto matches = time.globalMatch(QString::fromUtf8(psql.readAllStandardOutput()));
    while (matches.hasNext())
        timings.push_back(matches.next().captured(1).toDouble());
    return timings;
}

inline double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace PostgresBench
