#pragma once

#include <QFile>
#include <QString>

#include <string_view>

struct XML_ParserStruct;

// A workbook part that can be large (a worksheet, the shared strings) read with expat a block at a
// time: several times faster than QXmlStreamReader, which matters for sheets of a hundred thousand
// rows. Elements reach the handler by their local name when they are in the SpreadsheetML namespace
// (transitional, strict or none); elements of other namespaces come with an empty name. The handler
// may pause the reading after any event, so that the caller takes rows one at a time and holds no
// more than a block of the file.
class XLSXXmlStream
{
public:
    class Handler
    {
    public:
        virtual ~Handler() = default;
        // The attributes are name, value pairs ending with a null name; unprefixed names as they are.
        virtual void startElement(std::string_view name, const char **attributes) = 0;
        virtual void endElement(std::string_view name) = 0;
        // A piece of the text of an element; one text may come in several pieces.
        virtual void characters(std::string_view text) = 0;
    };

    // Without wantsText the handler is told of no text at all, which spares the work of passing it.
    XLSXXmlStream(Handler &handler, bool wantsText);
    ~XLSXXmlStream();
    XLSXXmlStream(const XLSXXmlStream &) = delete;
    XLSXXmlStream &operator=(const XLSXXmlStream &) = delete;

    bool open(const QString &path);
    // Reads on until the handler pauses (true) or the document ends or proves damaged (false).
    bool readOn();
    // From a handler: readOn returns once the event has been handled.
    void pause();
    bool failed() const { return failed_; }

    // The value of the unprefixed attribute; empty when there is none.
    static std::string_view attribute(const char **attributes, std::string_view name);
    static bool hasAttribute(const char **attributes, std::string_view name);

private:
    Handler &handler_;
    QFile file_;
    XML_ParserStruct *parser_ = nullptr;
    bool suspended_ = false;
    bool pauseAsked_ = false;
    bool finished_ = false;
    bool failed_ = false;
};
