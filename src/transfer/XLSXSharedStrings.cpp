#include "transfer/XLSXSharedStrings.h"

#include "transfer/XLSXXml.h"
#include "transfer/XLSXXmlStream.h"

#include <charconv>
#include <string>

namespace
{

constexpr qsizetype maxReserved = 1 << 22;

class Reader : public XLSXXmlStream::Handler
{
public:
    QStringList strings;

    void startElement(std::string_view name, const char **attributes) override
    {
        if (name == "sst") {
            // Room for the entries the table announces, so that the list does not grow by copies;
            // within bounds, as the count is only the file's word.
            qsizetype announced = 0;
            const std::string_view count = XLSXXmlStream::attribute(attributes, "uniqueCount");
            std::from_chars(count.data(), count.data() + count.size(), announced);
            strings.reserve(qBound<qsizetype>(0, announced, maxReserved));
        } else if (name == "si") {
            inEntry_ = true;
            inText_ = false;
            phonetic_ = 0;
            text_.clear();
        } else if (inEntry_ && name == "rPh") {
            ++phonetic_;
        } else if (inEntry_ && phonetic_ == 0 && name == "t") {
            inText_ = true;
        }
    }
    void endElement(std::string_view name) override
    {
        if (name == "t") {
            inText_ = false;
        } else if (inEntry_ && name == "rPh") {
            --phonetic_;
        } else if (inEntry_ && name == "si") {
            strings.append(XLSXXml::decodeText(QString::fromUtf8(text_.data(), qsizetype(text_.size()))));
            inEntry_ = false;
        }
    }
    void characters(std::string_view text) override
    {
        if (inText_)
            text_.append(text);
    }

private:
    bool inEntry_ = false;
    bool inText_ = false;
    int phonetic_ = 0;
    std::string text_;
};

} // namespace

std::optional<XLSXSharedStrings> XLSXSharedStrings::read(const QString &path)
{
    Reader reader;
    XLSXXmlStream stream(reader, true);
    if (!stream.open(path))
        return std::nullopt;
    stream.readOn();
    if (stream.failed())
        return std::nullopt;
    XLSXSharedStrings table;
    table.strings_ = std::move(reader.strings);
    return table;
}
