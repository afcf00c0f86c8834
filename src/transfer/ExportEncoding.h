#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <memory>

// Text to bytes in one of the export's encodings, never with loss: a character the encoding cannot
// represent fails the conversion. Unicode goes through Qt's own converters, the 8-bit code pages through
// iconv (glibc). One encoder per export thread.
class ExportEncoding
{
public:
    // An unknown number encodes as UTF-8.
    explicit ExportEncoding(quint64 encoding);
    ExportEncoding(const ExportEncoding &) = delete;
    ExportEncoding &operator=(const ExportEncoding &) = delete;
    ~ExportEncoding();

    // The byte-order mark that text in this encoding begins with; empty for UTF-8 and the 8-bit pages.
    QByteArray byteOrderMark() const;
    // Appends the text's bytes; false, appending nothing, when a character cannot be represented.
    bool encode(QStringView text, QByteArray &out);
    // The text of bytes in this encoding (a leading mark skipped); null when they are not valid.
    QString decode(const QByteArray &bytes);

private:
    class Iconv;

    quint64 encoding_;
    std::unique_ptr<Iconv> codePage_;
};
