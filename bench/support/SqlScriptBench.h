#pragma once

// What the SQL and editor benchmarks share: a long script of the SQL people write (tables, inserts
// with names in several languages, reports with block comments, updates), timing helpers, and the
// machine's load, which the figures depend on where other work shares the cores.
#include <QElapsedTimer>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

namespace SqlScriptBench
{

// A script of about `utf8Bytes` bytes in UTF-8.
inline QString realScript(qint64 utf8Bytes)
{
    static const QStringList names = {"Zoë Müller", "O''Brien & Sons",   "Łukasz Nowak", "José García",
                                      "Ana Lúcia",  "Søren Kierkegaard", "Chen Wei",     "Ngozi Okafor"};
    QString script;
    script.reserve(utf8Bytes + 4096);
    qint64 bytes = 0;
    for (int k = 0; bytes < utf8Bytes; ++k) {
        QString part = QStringLiteral("-- Order items of region %1\n"
                                      "CREATE TABLE IF NOT EXISTS order_items_%1 (\n"
                                      "    id          BIGINT PRIMARY KEY,\n"
                                      "    order_id    BIGINT NOT NULL REFERENCES orders(id),\n"
                                      "    product     VARCHAR(120) NOT NULL,\n"
                                      "    quantity    INTEGER DEFAULT 1 CHECK (quantity > 0),\n"
                                      "    unit_price  NUMERIC(12, 2),\n"
                                      "    created_at  TIMESTAMP DEFAULT CURRENT_TIMESTAMP\n"
                                      ");\n\n"
                                      "INSERT INTO customers (id, name, city, email, joined) VALUES\n")
                           .arg(k);
        for (int row = 0; row < 6; ++row) {
            const int id = k * 6 + row;
            part += QStringLiteral("    (%1, '%2', 'city %3', 'customer.%1@example.com', '2023-%4-%5')%6\n")
                        .arg(id)
                        .arg(names.at(id % names.size()))
                        .arg(id % 97)
                        .arg(1 + id % 12, 2, 10, QChar(u'0'))
                        .arg(1 + id % 28, 2, 10, QChar(u'0'))
                        .arg(row < 5 ? QStringLiteral(",") : QStringLiteral(";"));
        }
        part += QStringLiteral(
                    "\n/* Monthly revenue per customer of region %1, only customers\n"
                    "   with at least three orders in the period. */\n"
                    "SELECT c.id, c.name, date_trunc('month', o.placed) AS month,\n"
                    "       SUM(oi.quantity * oi.unit_price) AS revenue\n"
                    "  FROM customers c\n"
                    "  JOIN orders o ON o.customer_id = c.id\n"
                    "  JOIN order_items_%1 oi ON oi.order_id = o.id\n"
                    " WHERE o.placed >= :since AND o.status <> 'cancelled'\n"
                    " GROUP BY c.id, c.name, month\n"
                    "HAVING COUNT(DISTINCT o.id) >= 3\n"
                    " ORDER BY revenue DESC;\n\n"
                    "UPDATE orders SET status = 'shipped', shipped_at = now() WHERE id = %1 AND status = "
                    "'packed';\n"
                    "DELETE FROM sessions WHERE last_seen < now() - interval '30 days'; -- housekeeping\n\n")
                    .arg(k);
        bytes += part.toUtf8().size();
        script += part;
    }
    return script;
}

inline double milliseconds(qint64 nanoseconds)
{
    return nanoseconds / 1e6;
}

// The CPU time this thread has used, in milliseconds: on a machine whose cores other work shares, it
// counts what the code itself costs, where the clock on the wall also counts the waits for a core.
inline double threadCpuMilliseconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

struct Stats {
    double median = 0;
    double worst = 0;
};

inline Stats stats(std::vector<double> samples)
{
    if (samples.empty())
        return {};
    std::sort(samples.begin(), samples.end());
    return {samples[samples.size() / 2], samples.back()};
}

// The first run apart (it pays for memory the process has not touched yet), the median of the rest.
struct ColdAndWarm {
    double cold = 0;
    Stats warm;
};

template <typename Run> ColdAndWarm coldAndWarm(int warmRuns, Run run)
{
    ColdAndWarm result;
    result.cold = run();
    std::vector<double> warm;
    for (int k = 0; k < warmRuns; ++k)
        warm.push_back(run());
    result.warm = stats(warm);
    return result;
}

// The one-minute load average and the number of cores, as the system reports them.
inline QString machineLoad()
{
    QFile file(QStringLiteral("/proc/loadavg"));
    const QString load = file.open(QIODevice::ReadOnly)
                             ? QString::fromLatin1(file.readLine()).section(u' ', 0, 0)
                             : QStringLiteral("?");
    return QStringLiteral("load average %1 on %2 cores").arg(load).arg(QThread::idealThreadCount());
}

} // namespace SqlScriptBench
