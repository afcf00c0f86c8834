#include "transfer/CsvField.h"

#include <QLatin1StringView>
#include <QStringView>
#include <QUtf8StringView>

#include <type_traits>

namespace
{
template <typename View> void appendView(QString &line, View field, QChar delimiter, bool quoted)
{
    bool special = false;
    for (qsizetype i = 0; i < field.size() && !special; ++i) {
        const QChar c(field[i]);
        special = c == delimiter || c == u'"' || c == u'\n' || c == u'\r';
    }
    if (!quoted && !special) {
        line.append(field);
        return;
    }
    line.append(u'"');
    qsizetype from = 0;
    for (qsizetype i = 0; i < field.size(); ++i) {
        if (QChar(field[i]) == u'"') {
            line.append(field.mid(from, i + 1 - from)).append(u'"');
            from = i + 1;
        }
    }
    line.append(field.mid(from)).append(u'"');
}
} // namespace

void CsvField::append(QString &line, QAnyStringView field, QChar delimiter, bool quoted)
{
    if (field.isEmpty())
        return;
    field.visit([&](auto view) {
        if constexpr (std::is_same_v<decltype(view), QUtf8StringView>)
            appendView(line, QStringView(view.toString()), delimiter, quoted);
        else
            appendView(line, view, delimiter, quoted);
    });
}
