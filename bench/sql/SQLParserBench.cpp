// Tokenizer and incremental reparse on a 10 MB script, each figure beside the floor: one plain
// pass over the same UTF-16 buffer that only counts line feeds.
#include "sql/SQLParser.h"

#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace
{

QString buildScript(qint64 targetBytes)
{
    QString script;
    script.reserve(targetBytes / 2 + 1024);
    for (int k = 0; script.size() * 2 < targetBytes; ++k) {
        script += QStringLiteral("-- statement %1\nselect c.id, c.name, sum(o.total) as total\n"
                                 "  from customers c join orders o on o.customer_id = c.id\n"
                                 " where c.name like 'A%' and o.placed > :since /* recent */\n"
                                 " group by c.id, c.name order by total desc;\n")
                      .arg(k);
        if (k % 10 == 9)
            script += u'\n';
    }
    return script;
}

double millis(qint64 nanos)
{
    return nanos / 1e6;
}

volatile qint64 newlineSink;

qint64 newlineFloor(const QString &text)
{
    QElapsedTimer timer;
    timer.start();
    const char16_t *data = reinterpret_cast<const char16_t *>(text.utf16());
    qint64 count = 0;
    for (qint64 k = 0, n = text.size(); k < n; ++k)
        count += data[k] == u'\n';
    newlineSink = count;
    return timer.nsecsElapsed();
}

struct Stats {
    double median;
    double worst;
};

Stats stats(std::vector<qint64> samples)
{
    std::sort(samples.begin(), samples.end());
    return {millis(samples[samples.size() / 2]), millis(samples.back())};
}

// Inserts the text at the position and deletes it again, timing only the parser's work.
Stats editPairs(SQLParser &parser, QString &text, qint64 at, const QString &typed, int pairs)
{
    std::vector<qint64> samples;
    QElapsedTimer timer;
    for (int k = 0; k < pairs; ++k) {
        text.insert(at, typed);
        timer.start();
        parser.updateSourceRange({at, 0}, typed.size(), typed, text);
        samples.push_back(timer.nsecsElapsed());
        text.remove(at, typed.size());
        timer.start();
        parser.updateSourceRange({at, typed.size()}, -typed.size(), QString(), text);
        samples.push_back(timer.nsecsElapsed());
    }
    return stats(samples);
}

void report(const char *what, Stats s, double floor)
{
    std::printf("%-44s median %9.3f ms (%7.2fx floor)  worst %9.3f ms (%7.2fx floor)\n", what, s.median,
                s.median / floor, s.worst, s.worst / floor);
}

} // namespace

int main()
{
    QString text = buildScript(10 * 1000 * 1000);
    const double megabytes = text.size() * 2 / 1e6;
    std::vector<qint64> floors;
    for (int k = 0; k < 9; ++k)
        floors.push_back(newlineFloor(text));
    const double floor = stats(floors).median;
    std::printf("script: %.1f MB of UTF-16 (%lld code units)\n", megabytes,
                static_cast<long long>(text.size()));
    std::printf("floor (count line feeds): %.3f ms, %.0f MB/s\n\n", floor, megabytes / (floor / 1000));

    SQLParser parser;
    parser.setParseProperties(SQLParserParseProperties::defaultParseProperties());
    QElapsedTimer timer;
    timer.start();
    parser.updateSourceRange({0, 0}, text.size(), text, text);
    const double full = millis(timer.nsecsElapsed());
    std::printf("full tokenize: %.1f ms, %.1f MB/s (%.1fx floor), %lld components\n", full,
                megabytes / (full / 1000), full / floor,
                static_cast<long long>(parser.allParsedComponents().size()));

    // The middle of the script, inside the word "customers".
    const qint64 middle = text.indexOf(QStringLiteral("customers"), text.size() / 2) + 4;
    parser.parsedComponentsInRange({middle, 0}); // the editor's colouring has walked here before
    report("letter in a word (insert+delete)", editPairs(parser, text, middle, "x", 200), floor);
    report("blank in a word (splits it, insert+delete)", editPairs(parser, text, middle, " ", 200), floor);
    const qint64 inComment = text.indexOf(QStringLiteral("recent"), middle) + 2;
    report("letter in a comment (runs on by design)", editPairs(parser, text, inComment, "x", 5), floor);
    report("quote (runs on by design)", editPairs(parser, text, middle, "'", 5), floor);
    report("comment opener /* (runs on by design)", editPairs(parser, text, middle, "/*", 5), floor);

    std::vector<qint64> lookups;
    const qint64 nearEnd = text.size() - 100;
    for (int k = 0; k < 50; ++k) {
        timer.start();
        parser.parsedComponentsBetweenQuerySeparatorsAroundLocation(nearEnd - k);
        lookups.push_back(timer.nsecsElapsed());
    }
    std::printf("statement lookup near the end, no seek-cache entry there yet: %.3f ms (%.2fx floor)\n",
                millis(lookups.front()), millis(lookups.front()) / floor);
    // Colouring or typing there walks the range lookup, which leaves entries behind.
    parser.parsedComponentsInRange({nearEnd - 200, 0});
    lookups.clear();
    for (int k = 0; k < 50; ++k) {
        timer.start();
        parser.parsedComponentsBetweenQuerySeparatorsAroundLocation(nearEnd - k);
        lookups.push_back(timer.nsecsElapsed());
    }
    report("statement lookup near the end, with entries", stats(lookups), floor);
    std::vector<qint64> lines;
    for (int k = 0; k < 50; ++k) {
        timer.start();
        parser.lineNumberForCharacterAtIndex(nearEnd - k);
        lines.push_back(timer.nsecsElapsed());
    }
    std::printf("line number near the end: first %.3f ms\n", millis(lines.front()));
    lines.erase(lines.begin());
    report("line number near the end, later", stats(lines), floor);
    return 0;
}
