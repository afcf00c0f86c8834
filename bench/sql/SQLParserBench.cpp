// The tokenizer and the incremental reparse on a 10 MB script of real SQL, each figure beside the
// floors measured in the same run: one pass over the same UTF-16 buffer that only counts line feeds,
// and decoding the script's UTF-8 into that buffer. Speeds are in megabytes of UTF-8 per second.
#include "../support/SqlScriptBench.h"
#include "sql/SQLParser.h"

#include <QElapsedTimer>

#include <cstdio>
#include <vector>

using namespace SqlScriptBench;

namespace
{

constexpr qint64 scriptBytes = 10 * 1000 * 1000;
constexpr int warmRuns = 7;

volatile qint64 sink;

double newlineFloor(const QString &text)
{
    QElapsedTimer timer;
    timer.start();
    const char16_t *data = reinterpret_cast<const char16_t *>(text.utf16());
    qint64 count = 0;
    for (qint64 k = 0, n = text.size(); k < n; ++k)
        count += data[k] == u'\n';
    sink = count;
    return milliseconds(timer.nsecsElapsed());
}

double decodeFloor(const QByteArray &utf8)
{
    QElapsedTimer timer;
    timer.start();
    const QString text = QString::fromUtf8(utf8);
    sink = text.size();
    return milliseconds(timer.nsecsElapsed());
}

double loadInto(SQLParser &parser, const QString &text)
{
    QElapsedTimer timer;
    timer.start();
    parser.updateSourceRange({0, 0}, text.size(), text, text);
    return milliseconds(timer.nsecsElapsed());
}

// Types the text at the position and deletes it again, as the editor hands edits over (the parser's
// own text edited in place), timing the parser's work; also the longest reparsed stretch.
struct EditCost {
    Stats time;
    qint64 reparsed = 0;
};

EditCost editPairs(SQLParser &parser, qint64 at, const QString &typed, int pairs)
{
    std::vector<double> samples;
    EditCost cost;
    QElapsedTimer timer;
    TextRange reparsed;
    for (int k = 0; k < pairs; ++k) {
        timer.start();
        parser.replaceSourceRange({at, 0}, typed, &reparsed);
        samples.push_back(milliseconds(timer.nsecsElapsed()));
        cost.reparsed = std::max(cost.reparsed, reparsed.length);
        timer.start();
        parser.replaceSourceRange({at, typed.size()}, QString(), &reparsed);
        samples.push_back(milliseconds(timer.nsecsElapsed()));
    }
    cost.time = stats(samples);
    return cost;
}

void reportEdit(const char *what, const EditCost &cost, double floor)
{
    std::printf("| %-34s | %9.4f | %9.3f | %8.3f | %12lld |\n", what, cost.time.median, cost.time.worst,
                cost.time.median / floor, static_cast<long long>(cost.reparsed));
}

} // namespace

int main()
{
    std::printf("%s\n", qPrintable(machineLoad()));
    const QString text = realScript(scriptBytes);
    const QByteArray utf8 = text.toUtf8();
    const double megabytes = utf8.size() / 1e6;
    const auto speed = [&](double ms) { return megabytes / (ms / 1000); };

    const ColdAndWarm lineFloor = coldAndWarm(warmRuns, [&] { return newlineFloor(text); });
    const ColdAndWarm utf8Floor = coldAndWarm(warmRuns, [&] { return decodeFloor(utf8); });
    std::printf("script: %.2f MB of UTF-8, %lld UTF-16 code units\n\n", megabytes,
                static_cast<long long>(text.size()));

    std::printf(
        "| whole text | cold ms | warm median ms | warm worst ms | MB/s (UTF-8) | x line-feed floor | "
        "x UTF-8 floor |\n|---|---|---|---|---|---|---|\n");
    const auto row = [&](const char *what, const ColdAndWarm &r) {
        std::printf("| %s | %.1f | %.1f | %.1f | %.0f | %.1f | %.2f |\n", what, r.cold, r.warm.median,
                    r.warm.worst, speed(r.warm.median), r.warm.median / lineFloor.warm.median,
                    r.warm.median / utf8Floor.warm.median);
    };
    row("floor: count line feeds", lineFloor);
    row("floor: decode UTF-8", utf8Floor);
    const struct {
        const char *name;
        SQLParserParseProperties properties;
    } dialects[] = {
        {"tokenize into the parser, default dialect", SQLParserParseProperties::defaultParseProperties()},
        {"tokenize into the parser, MySQL", SQLParserParseProperties::mySQLParseProperties()},
        {"tokenize into the parser, PostgreSQL", SQLParserParseProperties::postgreSQLParseProperties()}};
    for (const auto &dialect : dialects) {
        row(dialect.name, coldAndWarm(warmRuns, [&] {
                SQLParser parser;
                parser.setParseProperties(dialect.properties);
                return loadInto(parser, text);
            }));
    }
    SQLParser parser;
    parser.setParseProperties(SQLParserParseProperties::defaultParseProperties());
    row("tokenize to component objects", coldAndWarm(2, [&] {
            QElapsedTimer timer;
            timer.start();
            sink = parser.parsedComponentsForString2(text).size();
            return milliseconds(timer.nsecsElapsed());
        }));
    // The same on the thread's CPU time, which waits for a busy machine's cores leave out.
    std::printf("\n| whole text, thread CPU time | warm median ms | MB/s (UTF-8) | goal 100 MB/s |\n"
                "|---|---|---|---|\n");
    for (const auto &dialect : dialects) {
        const ColdAndWarm cpu = coldAndWarm(warmRuns, [&] {
            SQLParser fresh;
            fresh.setParseProperties(dialect.properties);
            const double start = threadCpuMilliseconds();
            loadInto(fresh, text);
            return threadCpuMilliseconds() - start;
        });
        std::printf("| %s | %.1f | %.0f | %s |\n", dialect.name, cpu.warm.median, speed(cpu.warm.median),
                    speed(cpu.warm.median) >= 100 ? "met" : "NOT met");
    }
    loadInto(parser, text);
    std::printf("\n%lld components\n\n", static_cast<long long>(parser.allParsedComponents().size()));
    loadInto(parser, text); // lets go of the component objects
    const qint64 middle = text.size() / 2;
    const qint64 word = text.indexOf(QStringLiteral("FROM customers"), middle) + 7;
    const qint64 lineEnd = text.indexOf(u'\n', middle);
    const qint64 comment = text.indexOf(QStringLiteral("at least"), middle) + 3;
    const qint64 string = text.indexOf(QStringLiteral("'cancelled'"), middle) + 4;
    for (const qint64 at : {word, lineEnd, comment, string})
        parser.parsedComponentsInRange({at, 0}); // the editor's colouring has walked there before
    const double floor = lineFloor.warm.median;
    std::printf("| edit in the middle (insert + delete) | median ms | worst ms | x line-feed floor | "
                "reparsed chars |\n|---|---|---|---|---|\n");
    reportEdit("letter in a word", editPairs(parser, word, "x", 200), floor);
    reportEdit("blank in a word (splits it)", editPairs(parser, word, " ", 200), floor);
    reportEdit("letter at a line end", editPairs(parser, lineEnd, "x", 200), floor);
    reportEdit("letter in a block comment", editPairs(parser, comment, "x", 200), floor);
    reportEdit("letter in a string", editPairs(parser, string, "x", 200), floor);
    reportEdit("quote ' (pairs with the next one)", editPairs(parser, word, "'", 20), floor);
    reportEdit("quote \" (runs to the end)", editPairs(parser, word, "\"", 5), floor);
    reportEdit("comment opener /* (to the next */)", editPairs(parser, word, "/*", 5), floor);

    const qint64 nearEnd = text.size() - 100;
    QElapsedTimer timer;
    timer.start();
    parser.parsedComponentsBetweenQuerySeparatorsAroundLocation(nearEnd);
    const double firstLookup = milliseconds(timer.nsecsElapsed());
    parser.parsedComponentsInRange({nearEnd - 200, 0}); // colouring there leaves seek-cache entries
    std::vector<double> lookups;
    for (int k = 0; k < 50; ++k) {
        timer.start();
        parser.parsedComponentsBetweenQuerySeparatorsAroundLocation(nearEnd - k);
        lookups.push_back(milliseconds(timer.nsecsElapsed()));
    }
    timer.start();
    parser.lineNumberForCharacterAtIndex(nearEnd);
    const double firstLine = milliseconds(timer.nsecsElapsed());
    std::vector<double> lines;
    for (int k = 1; k < 50; ++k) {
        timer.start();
        parser.lineNumberForCharacterAtIndex(nearEnd - k);
        lines.push_back(milliseconds(timer.nsecsElapsed()));
    }
    std::printf("\n| lookup near the end | first ms | later median ms |\n|---|---|---|\n");
    std::printf("| statement around a location | %.3f | %.4f |\n", firstLookup, stats(lookups).median);
    std::printf("| line number of a location | %.3f | %.4f |\n", firstLine, stats(lines).median);
    std::printf("\n%s\n", qPrintable(machineLoad()));
    return 0;
}
