#include "transfer/XLSXStyles.h"

#include "transfer/XLSXXml.h"

#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QXmlStreamReader>

bool XLSXStyles::isBuiltInDateFormat(int id)
{
    return (id >= 14 && id <= 22) || (id >= 27 && id <= 36) || (id >= 45 && id <= 47) ||
           (id >= 50 && id <= 58) || (id >= 71 && id <= 81);
}

QString XLSXStyles::stripLiterals(const QString &code)
{
    QString stripped;
    for (qsizetype i = 0; i < code.size(); ++i) {
        const QChar c = code[i];
        if (c == u'\\' || c == u'_' || c == u'*') {
            ++i;
        } else if (c == u'"') {
            const qsizetype end = code.indexOf(u'"', i + 1);
            i = end < 0 ? code.size() : end;
        } else if (c == u'[') {
            const qsizetype end = code.indexOf(u']', i + 1);
            const QString section = code.mid(i + 1, (end < 0 ? code.size() : end) - i - 1);
            static const QRegularExpression elapsed(QStringLiteral("^(h+|m+|s+)$"),
                                                    QRegularExpression::CaseInsensitiveOption);
            if (elapsed.match(section).hasMatch())
                stripped.append(section.toLower());
            i = end < 0 ? code.size() : end;
        } else {
            stripped.append(c);
        }
    }
    return stripped.replace(QLatin1String("General"), QString(), Qt::CaseInsensitive);
}

bool XLSXStyles::isDateFormatCode(const QString &code)
{
    const QString stripped = stripLiterals(code);
    for (const QChar c : stripped) {
        if (c == u'h' || c == u'd' || c == u's' || c == u'y')
            return true;
    }
    return false;
}

bool XLSXStyles::isDate(QStringView style) const
{
    bool ok = false;
    const int position = style.toInt(&ok);
    return ok && dateStyles_.contains(position);
}

std::optional<XLSXStyles> XLSXStyles::read(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    // A custom code may also redefine a built-in identifier.
    QHash<int, bool> customFormats;
    QList<int> cellFormats;
    QXmlStreamReader reader(&file);
    int depth = 0;
    bool inNumFmts = false;
    bool inCellXfs = false;
    while (!reader.atEnd()) {
        const QXmlStreamReader::TokenType token = reader.readNext();
        if (token == QXmlStreamReader::EndElement) {
            --depth;
            if (depth == 1)
                inNumFmts = inCellXfs = false;
            continue;
        }
        if (token != QXmlStreamReader::StartElement)
            continue;
        ++depth;
        const QXmlStreamAttributes attributes = reader.attributes();
        // The last list of each kind counts.
        if (depth == 2 && XLSXXml::is(reader, "numFmts")) {
            inNumFmts = true;
            customFormats.clear();
        } else if (depth == 2 && XLSXXml::is(reader, "cellXfs")) {
            inCellXfs = true;
            cellFormats.clear();
        } else if (inNumFmts && depth == 3 && XLSXXml::is(reader, "numFmt")) {
            customFormats.insert(attributes.value(QLatin1String("numFmtId")).toInt(),
                                 isDateFormatCode(attributes.value(QLatin1String("formatCode")).toString()));
        } else if (inCellXfs && depth == 3 && XLSXXml::is(reader, "xf")) {
            bool ok = false;
            const int format = attributes.value(QLatin1String("numFmtId")).toInt(&ok);
            cellFormats.append(ok ? format : -1);
        }
    }
    if (reader.hasError())
        return std::nullopt;
    XLSXStyles styles;
    for (qsizetype i = 0; i < cellFormats.size(); ++i) {
        if (customFormats.value(cellFormats[i], isBuiltInDateFormat(cellFormats[i])))
            styles.dateStyles_.insert(int(i));
    }
    return styles;
}
