#include "transfer/SqlExporter.h"

#include "client/PackedRows.h"
#include "client/VornExportCursorClient.h"

#include <QStringList>
#include <QUtf8StringView>

#include <type_traits>

namespace
{
void appendText(QString &out, QAnyStringView text)
{
    text.visit([&](auto view) {
        if constexpr (std::is_same_v<decltype(view), QUtf8StringView>)
            out.append(view.toString());
        else
            out.append(view);
    });
}
} // namespace

void SqlExporter::prepare(const QList<ExportColumn> &columns, VornExportCursorClient &cursor)
{
    QStringList names;
    for (const ExportColumn &column : columns)
        names.append(cursor.safeColumnIdentifier(column.column_name));
    head_ = QStringLiteral("insert into %1 (%2) values (")
                .arg(cursor.safeTableIdentifier(table_), names.join(QStringLiteral(", ")));
}

void SqlExporter::appendRecord(QString &text, const PackedRows &rows, int row, const std::vector<int> &cells)
{
    text.append(head_);
    for (size_t i = 0; i < cells.size(); ++i) {
        if (i > 0)
            text.append(u", ");
        const VornCell cell = cells[i] < 0 ? VornCell{} : rows.cell(row, cells[i]);
        if (cell.kind == VornCell::Kind::Text)
            appendText(text, cell.text);
        else
            text.append(u"null");
    }
    text.append(u");\n");
}
