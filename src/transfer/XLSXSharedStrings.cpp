#include "transfer/XLSXSharedStrings.h"

#include "transfer/XLSXXml.h"
#include "transfer/XLSXXmlStream.h"

#include <string>

namespace
{

class Reader : public XLSXXmlStream::Handler
{
public:
    QStringList strings;

    void startElement(std::string_view name, const char **) override
    {
        if (name == "si") {
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
