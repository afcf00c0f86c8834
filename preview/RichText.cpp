#include "RichText.h"

const QString RichText::fontName = QStringLiteral("Monaco");

namespace
{

// The colour table: index 0 is the reader's automatic colour.
class ColourTable
{
public:
    int indexOf(const std::optional<RichTextColour> &colour)
    {
        if (!colour)
            return 0;
        const qsizetype found = colours_.indexOf(*colour);
        if (found >= 0)
            return int(found) + 1;
        colours_.append(*colour);
        return int(colours_.size());
    }

    QByteArray rtf() const
    {
        QByteArray table = "{\\colortbl;";
        for (const RichTextColour &colour : colours_)
            table += QByteArray("\\red") + QByteArray::number(colour.red) + "\\green" +
                     QByteArray::number(colour.green) + "\\blue" + QByteArray::number(colour.blue) + ';';
        return table + '}';
    }

private:
    QList<RichTextColour> colours_;
};

void appendEscaped(QByteArray &out, const QString &text)
{
    for (const QChar c : text) {
        const char16_t unit = c.unicode();
        if (unit == '\\' || unit == '{' || unit == '}') {
            out += '\\';
            out += char(unit);
        } else if (unit == '\n' || unit == '\r') {
            out += "\\par\n";
        } else if (unit == '\t') {
            out += "\\tab ";
        } else if (unit >= 0x20 && unit < 0x7f) {
            out += char(unit);
        } else if (unit < 0x20 || unit == 0x7f) {
            // Other control characters have no place in a text run.
            continue;
        } else {
            // A signed 16-bit value, followed by the one replacement character \uc1 announces.
            out += "\\u" + QByteArray::number(qint16(unit)) + '?';
        }
    }
}

} // namespace

void RichText::append(const RichTextRun &run)
{
    if (!run.text.isEmpty())
        runs_.append(run);
}

void RichText::append(const RichText &other)
{
    runs_.append(other.runs_);
}

QString RichText::string() const
{
    QString text;
    for (const RichTextRun &run : runs_)
        text += run.text;
    return text;
}

QByteArray RichText::rtfData() const
{
    ColourTable colours;
    QByteArray body;
    for (const RichTextRun &run : runs_) {
        body += "{\\cf" + QByteArray::number(colours.indexOf(run.foreground));
        if (run.background)
            body += "\\cb" + QByteArray::number(colours.indexOf(run.background));
        if (run.bold)
            body += "\\b";
        body += ' ';
        appendEscaped(body, run.text);
        body += "}";
    }
    QByteArray fontTable =
        "{\\fonttbl{\\f0\\fmodern\\fcharset0 " + fontName.toLatin1() + "{\\*\\falt Monospace};}}";
    return "{\\rtf1\\ansi\\ansicpg1252\\uc1\\deff0" + fontTable + colours.rtf() + "\n\\pard\\plain\\f0\\fs" +
           QByteArray::number(fontPointSize * 2) + ' ' + body + "}\n";
}
