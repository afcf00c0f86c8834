#include "transfer/ExportEncoding.h"

#include "transfer/ExportOptions.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <cerrno>
#include <iconv.h>
#include <optional>

namespace
{
const char *codePageName(quint64 encoding)
{
    switch (encoding) {
    case ExportOptions::IsoLatin1:
        return "ISO-8859-1";
    case ExportOptions::IsoLatin2:
        return "ISO-8859-2";
    case ExportOptions::MacRoman:
        return "MACINTOSH";
    case ExportOptions::WindowsLatin1:
        return "CP1252";
    case ExportOptions::WindowsLatin2:
        return "CP1250";
    case ExportOptions::WindowsCyrillic:
        return "CP1251";
    case ExportOptions::WindowsGreek:
        return "CP1253";
    case ExportOptions::WindowsTurkish:
        return "CP1254";
    default:
        return nullptr;
    }
}

std::optional<QStringConverter::Encoding> unicode(quint64 encoding)
{
    switch (encoding) {
    case ExportOptions::Utf16BigEndian:
        return QStringConverter::Utf16BE;
    case ExportOptions::Utf16LittleEndian:
    case ExportOptions::Utf16:
        return QStringConverter::Utf16LE;
    case ExportOptions::Utf32BigEndian:
        return QStringConverter::Utf32BE;
    case ExportOptions::Utf32LittleEndian:
        return QStringConverter::Utf32LE;
    case ExportOptions::Utf8:
        return QStringConverter::Utf8;
    default:
        return codePageName(encoding) ? std::nullopt : std::optional(QStringConverter::Utf8);
    }
}
} // namespace

// Both directions of one code page; iconv descriptors keep state, so each belongs to one thread.
class ExportEncoding::Iconv
{
public:
    explicit Iconv(const char *name) : to_(iconv_open(name, "UTF-16LE")), from_(iconv_open("UTF-16LE", name))
    {
    }
    ~Iconv()
    {
        if (to_ != iconv_t(-1))
            iconv_close(to_);
        if (from_ != iconv_t(-1))
            iconv_close(from_);
    }

    bool encode(QStringView text, QByteArray &out)
    {
        return convert(to_, text.utf16(), text.size() * 2, out);
    }
    bool decode(const QByteArray &bytes, QByteArray &utf16)
    {
        return convert(from_, bytes.data(), bytes.size(), utf16);
    }

private:
    static bool convert(iconv_t descriptor, const void *data, qsizetype size, QByteArray &out)
    {
        if (descriptor == iconv_t(-1))
            return false;
        iconv(descriptor, nullptr, nullptr, nullptr, nullptr);
        const qsizetype start = out.size();
        // Every code page here and UTF-16 use at most two bytes a character each way.
        out.resize(start + size * 2 + 4);
        char *in = static_cast<char *>(const_cast<void *>(data));
        size_t inLeft = size_t(size);
        char *write = out.data() + start;
        size_t outLeft = size_t(out.size() - start);
        if (iconv(descriptor, &in, &inLeft, &write, &outLeft) == size_t(-1)) {
            out.resize(start);
            return false;
        }
        out.resize(write - out.data());
        return true;
    }

    iconv_t to_;
    iconv_t from_;
};

ExportEncoding::ExportEncoding(quint64 encoding) : encoding_(encoding)
{
    if (const char *name = codePageName(encoding))
        codePage_ = std::make_unique<Iconv>(name);
}

ExportEncoding::~ExportEncoding() = default;

QByteArray ExportEncoding::byteOrderMark() const
{
    switch (encoding_) {
    case ExportOptions::Utf16BigEndian:
        return QByteArray("\xFE\xFF", 2);
    case ExportOptions::Utf16LittleEndian:
    case ExportOptions::Utf16:
        return QByteArray("\xFF\xFE", 2);
    case ExportOptions::Utf32BigEndian:
        return QByteArray("\x00\x00\xFE\xFF", 4);
    case ExportOptions::Utf32LittleEndian:
        return QByteArray("\xFF\xFE\x00\x00", 4);
    default:
        return {};
    }
}

bool ExportEncoding::encode(QStringView text, QByteArray &out)
{
    if (codePage_)
        return codePage_->encode(text, out);
    QStringEncoder encoder(*unicode(encoding_), QStringConverter::Flag::Stateless);
    const qsizetype start = out.size();
    out.resize(start + encoder.requiredSpace(text.size()));
    char *end = encoder.appendToBuffer(out.data() + start, text);
    // Unicode represents every character; only a lone surrogate half has no bytes.
    if (encoder.hasError()) {
        out.resize(start);
        return false;
    }
    out.resize(end - out.data());
    return true;
}

QString ExportEncoding::decode(const QByteArray &bytes)
{
    const QByteArray mark = byteOrderMark();
    const QByteArray body = !mark.isEmpty() && bytes.startsWith(mark) ? bytes.mid(mark.size()) : bytes;
    if (codePage_) {
        QByteArray utf16;
        if (!codePage_->decode(body, utf16))
            return QString();
        return QString(reinterpret_cast<const QChar *>(utf16.constData()), utf16.size() / 2);
    }
    QStringDecoder decoder(*unicode(encoding_), QStringConverter::Flag::Stateless);
    QString text = decoder.decode(body);
    if (decoder.hasError())
        return QString();
    return text.isNull() ? QStringLiteral("") : text;
}
