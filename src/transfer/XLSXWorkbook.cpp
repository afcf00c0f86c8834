#include "transfer/XLSXWorkbook.h"

#include "transfer/XLSXXml.h"

#include <QFile>
#include <QXmlStreamReader>

std::optional<XLSXWorkbook> XLSXWorkbook::read(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    XLSXWorkbook workbook;
    QXmlStreamReader reader(&file);
    int depth = 0;
    int sheetsSeen = 0;
    bool inSheets = false;
    while (!reader.atEnd()) {
        const QXmlStreamReader::TokenType token = reader.readNext();
        if (token == QXmlStreamReader::EndElement) {
            --depth;
            if (inSheets && depth == 1 && XLSXXml::is(reader, "sheets"))
                inSheets = false;
            continue;
        }
        if (token != QXmlStreamReader::StartElement)
            continue;
        ++depth;
        const QXmlStreamAttributes attributes = reader.attributes();
        if (depth == 2 && XLSXXml::is(reader, "workbookPr")) {
            workbook.date1904_ = XLSXXml::isTrue(attributes.value(QLatin1String("date1904")));
        } else if (depth == 2 && XLSXXml::is(reader, "sheets")) {
            // Only the first list of sheets counts.
            inSheets = ++sheetsSeen == 1;
        } else if (inSheets && depth == 3 && XLSXXml::is(reader, "sheet")) {
            workbook.sheets_.append({XLSXXml::relationshipAttribute(attributes, "id"),
                                     attributes.value(QLatin1String("name")).toString(),
                                     attributes.value(QLatin1String("state")).toString()});
        }
    }
    if (reader.hasError())
        return std::nullopt;
    return workbook;
}
