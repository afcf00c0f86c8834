#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// The text encodings an import reads, by their string-encoding numbers (the values stored with the
// import's options), and the decoding of bytes in them.
namespace ImportEncoding
{

constexpr quint64 utf8 = 4;
constexpr quint64 isoLatin1 = 5;
constexpr quint64 isoLatin2 = 9;
constexpr quint64 macRoman = 30;
constexpr quint64 utf16 = 10;
constexpr quint64 utf16BigEndian = 0x90000100;
constexpr quint64 utf16LittleEndian = 0x94000100;
constexpr quint64 windowsLatin1 = 12;
constexpr quint64 windowsLatin2 = 15;
constexpr quint64 windowsCyrillic = 11;
constexpr quint64 windowsGreek = 13;
constexpr quint64 windowsTurkish = 14;

// In the order offered.
QList<quint64> supportedEncodings();
// The name shown for an encoding; an unknown one is logged and named "UTF-8".
QString nameForEncoding(quint64 encoding);
// Bytes per code unit (2 for the UTF-16 family) and the byte order of two-byte units.
int characterLength(quint64 encoding);
bool bigEndian(quint64 encoding);

struct Decoded {
    QString text;
    // Some bytes were not text in the encoding; they stand as U+FFFD in text.
    bool hadErrors = false;
};
Decoded decode(const QByteArray &bytes, quint64 encoding);
// Whether every byte decodes; an incomplete last character counts as an error.
bool decodesWholly(const QByteArray &bytes, quint64 encoding);

} // namespace ImportEncoding
