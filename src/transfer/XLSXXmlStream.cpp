#include "transfer/XLSXXmlStream.h"

#include <expat.h>

#include <cstring>

namespace
{

// Not a character XML allows, so no namespace name can hold it.
constexpr char separator = '\x01';
constexpr int blockSize = 1 << 16;

// The SpreadsheetML namespaces (transitional and strict) as expat puts them before a local name.
constexpr std::string_view namespaces[] = {"http://schemas.openxmlformats.org/spreadsheetml/2006/main\x01",
                                           "http://purl.oclc.org/ooxml/spreadsheetml/main\x01"};

// The local name of an element of SpreadsheetML (or of no namespace); empty for other namespaces.
// Compared from the front: every element of a sheet comes by here.
std::string_view localName(const char *name)
{
    for (const std::string_view known : namespaces) {
        if (std::strncmp(name, known.data(), known.size()) == 0)
            return name + known.size();
    }
    if (std::strchr(name, separator))
        return {};
    return name;
}

} // namespace

XLSXXmlStream::XLSXXmlStream(Handler &handler, bool wantsText)
    : handler_(handler), parser_(XML_ParserCreateNS(nullptr, separator))
{
    XML_SetUserData(parser_, this);
    XML_SetElementHandler(
        parser_,
        [](void *stream, const XML_Char *name, const XML_Char **attributes) {
            static_cast<XLSXXmlStream *>(stream)->handler_.startElement(localName(name), attributes);
        },
        [](void *stream, const XML_Char *name) {
            static_cast<XLSXXmlStream *>(stream)->handler_.endElement(localName(name));
        });
    if (wantsText) {
        XML_SetCharacterDataHandler(parser_, [](void *stream, const XML_Char *text, int length) {
            static_cast<XLSXXmlStream *>(stream)->handler_.characters(std::string_view(text, size_t(length)));
        });
    }
}

XLSXXmlStream::~XLSXXmlStream()
{
    XML_ParserFree(parser_);
}

bool XLSXXmlStream::open(const QString &path)
{
    file_.setFileName(path);
    failed_ = !parser_ || !file_.open(QIODevice::ReadOnly);
    return !failed_;
}

void XLSXXmlStream::pause()
{
    // Asking twice in one event would count as an error of the parser.
    if (pauseAsked_)
        return;
    pauseAsked_ = true;
    XML_StopParser(parser_, XML_TRUE);
}

bool XLSXXmlStream::readOn()
{
    while (!failed_) {
        pauseAsked_ = false;
        XML_Status status;
        if (suspended_) {
            suspended_ = false;
            status = XML_ResumeParser(parser_);
        } else {
            if (finished_)
                return false;
            void *block = XML_GetBuffer(parser_, blockSize);
            const qint64 read = block ? file_.read(static_cast<char *>(block), blockSize) : -1;
            if (read < 0) {
                failed_ = true;
                return false;
            }
            finished_ = read == 0;
            status = XML_ParseBuffer(parser_, int(read), finished_ ? XML_TRUE : XML_FALSE);
        }
        if (status == XML_STATUS_ERROR) {
            failed_ = true;
            return false;
        }
        if (status == XML_STATUS_SUSPENDED) {
            suspended_ = true;
            return true;
        }
    }
    return false;
}

std::string_view XLSXXmlStream::attribute(const char **attributes, std::string_view name)
{
    for (; *attributes; attributes += 2) {
        if (name == *attributes)
            return attributes[1];
    }
    return {};
}

bool XLSXXmlStream::hasAttribute(const char **attributes, std::string_view name)
{
    for (; *attributes; attributes += 2) {
        if (name == *attributes)
            return true;
    }
    return false;
}
