#include "transfer/XLSXSharedStrings.h"

#include "transfer/XLSXXml.h"

#include <QFile>
#include <QXmlStreamReader>

std::optional<XLSXSharedStrings> XLSXSharedStrings::read(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    XLSXSharedStrings table;
    QXmlStreamReader reader(&file);
    bool inEntry = false;
    bool inText = false;
    int phonetic = 0;
    QString text;
    while (!reader.atEnd()) {
        const QXmlStreamReader::TokenType token = reader.readNext();
        if (token == QXmlStreamReader::StartElement) {
            if (XLSXXml::is(reader, "si")) {
                inEntry = true;
                inText = false;
                phonetic = 0;
                text.clear();
            } else if (inEntry && XLSXXml::is(reader, "rPh")) {
                ++phonetic;
            } else if (inEntry && phonetic == 0 && XLSXXml::is(reader, "t")) {
                inText = true;
            }
        } else if (token == QXmlStreamReader::Characters) {
            if (inText)
                text.append(reader.text());
        } else if (token == QXmlStreamReader::EndElement) {
            if (XLSXXml::is(reader, "t")) {
                inText = false;
            } else if (inEntry && XLSXXml::is(reader, "rPh")) {
                --phonetic;
            } else if (inEntry && XLSXXml::is(reader, "si")) {
                table.strings_.append(XLSXXml::decodeText(text));
                inEntry = false;
            }
        }
    }
    if (reader.hasError())
        return std::nullopt;
    return table;
}
