#include "transfer/XLSXXml.h"

namespace
{

const QString strictMainNamespace = QStringLiteral("http://purl.oclc.org/ooxml/spreadsheetml/main");
const QString strictRelationshipsNamespace =
    QStringLiteral("http://purl.oclc.org/ooxml/officeDocument/relationships");

bool isHexDigit(QChar c)
{
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

// "_xHHHH_" at the position.
bool isEscapeAt(QStringView text, qsizetype at)
{
    if (at + 7 > text.size() || text[at] != u'_' || text[at + 1] != u'x' || text[at + 6] != u'_')
        return false;
    for (qsizetype i = at + 2; i < at + 6; ++i) {
        if (!isHexDigit(text[i]))
            return false;
    }
    return true;
}

bool isXmlCharacter(char32_t c)
{
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) ||
           (c >= 0x10000 && c <= 0x10FFFF);
}

void appendEscape(QString &out, uint code)
{
    out.append(QLatin1String("_x"));
    out.append(QString::number(code, 16).rightJustified(4, u'0').toUpper());
    out.append(u'_');
}

} // namespace

namespace XLSXXml
{

bool is(const QXmlStreamReader &reader, const char *localName)
{
    if (reader.name() != QLatin1String(localName))
        return false;
    const QStringView ns = reader.namespaceUri();
    return ns.isEmpty() || ns == mainNamespace || ns == strictMainNamespace;
}

QString relationshipAttribute(const QXmlStreamAttributes &attributes, const char *localName)
{
    const QLatin1String name(localName);
    if (attributes.hasAttribute(relationshipsNamespace, name))
        return attributes.value(relationshipsNamespace, name).toString();
    return attributes.value(strictRelationshipsNamespace, name).toString();
}

bool isTrue(QStringView value)
{
    return value == u"1" || value.compare(u"true", Qt::CaseInsensitive) == 0;
}

QString decodeText(const QString &text)
{
    if (!text.contains(QLatin1String("_x")))
        return text;
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (isEscapeAt(text, i)) {
            out.append(QChar(char16_t(QStringView(text).mid(i + 2, 4).toUInt(nullptr, 16))));
            i += 6;
        } else {
            out.append(text[i]);
        }
    }
    return out;
}

QString encodeText(QStringView text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            out.append(c);
            out.append(text[++i]);
        } else if (c.unicode() == 0) {
            continue;
        } else if (c.isSurrogate() || !isXmlCharacter(c.unicode())) {
            appendEscape(out, c.unicode());
        } else if (isEscapeAt(text, i)) {
            appendEscape(out, u'_');
        } else {
            out.append(c);
        }
    }
    return out;
}

} // namespace XLSXXml
