#include "transfer/ImportEncoding.h"

#include <QDebug>
#include <QStringDecoder>

#include <algorithm>

namespace ImportEncoding
{
namespace
{

struct Known {
    quint64 value;
    const char *name;
    const char *codec;
};

// UTF-16 without a byte-order mark reads as big endian, as the standard says.
const Known known[] = {
    {utf8, "UTF-8", "UTF-8"},
    {isoLatin1, "ISO Latin 1", "ISO-8859-1"},
    {isoLatin2, "ISO Latin 2", "ISO-8859-2"},
    {macRoman, "Mac OS Roman", "macintosh"},
    {utf16, "UTF-16", "UTF-16BE"},
    {utf16BigEndian, "UTF-16 Big endian", "UTF-16BE"},
    {utf16LittleEndian, "UTF-16 Little endian", "UTF-16LE"},
    {windowsLatin1, "Windows Latin 1 (CP1252)", "windows-1252"},
    {windowsLatin2, "Windows Latin 2 (CP1250)", "windows-1250"},
    {windowsCyrillic, "Windows Cyrillic (CP1251)", "windows-1251"},
    {windowsGreek, "Windows Greek (CP1253)", "windows-1253"},
    {windowsTurkish, "Windows Turkish (CP1254)", "windows-1254"},
};

const Known *find(quint64 encoding)
{
    for (const Known &entry : known) {
        if (entry.value == encoding)
            return &entry;
    }
    return nullptr;
}

} // namespace

QList<quint64> supportedEncodings()
{
    QList<quint64> values;
    for (const Known &entry : known)
        values.append(entry.value);
    return values;
}

QString nameForEncoding(quint64 encoding)
{
    if (const Known *entry = find(encoding))
        return QString::fromLatin1(entry->name);
    qWarning().noquote() << QStringLiteral("WARNING UNKNOWN ENCODING %1").arg(encoding);
    return QStringLiteral("UTF-8");
}

int characterLength(quint64 encoding)
{
    return encoding == utf16 || encoding == utf16BigEndian || encoding == utf16LittleEndian ? 2 : 1;
}

bool bigEndian(quint64 encoding)
{
    return encoding == utf16 || encoding == utf16BigEndian;
}

Decoded decode(const QByteArray &bytes, quint64 encoding)
{
    // Every one-byte encoding here reads ASCII as ASCII: most fields need no converter at all.
    if (characterLength(encoding) == 1) {
        if (std::all_of(bytes.begin(), bytes.end(), [](char byte) { return uchar(byte) < 0x80; }))
            return {QString::fromLatin1(bytes), false};
    }
    const Known *entry = find(encoding);
    // UTF-8, the common case, without looking its converter up by name for every field.
    QStringDecoder decoder = entry && qstrcmp(entry->codec, "UTF-8") != 0
                                 ? QStringDecoder(entry->codec, QStringConverter::Flag::Stateless)
                                 : QStringDecoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    Decoded decoded;
    decoded.text = decoder.decode(bytes);
    decoded.hadErrors = decoder.hasError();
    return decoded;
}

bool decodesWholly(const QByteArray &bytes, quint64 encoding)
{
    return !decode(bytes, encoding).hadErrors;
}

} // namespace ImportEncoding
