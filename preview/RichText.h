#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

// Text in runs of one look each, as the preview builds it: the rich-text form of the preview is
// written from it (rtfData) and the thumbnail is drawn from its HTML twin.
struct RichTextColour {
    quint8 red = 0;
    quint8 green = 0;
    quint8 blue = 0;

    bool operator==(const RichTextColour &other) const = default;
};

struct RichTextRun {
    QString text;
    std::optional<RichTextColour> foreground; // none: the text colour
    std::optional<RichTextColour> background; // none: no background
    bool bold = false;

    bool operator==(const RichTextRun &other) const = default;
};

class RichText
{
public:
    void append(const RichTextRun &run);
    void append(const RichText &other);

    const QList<RichTextRun> &runs() const { return runs_; }
    QString string() const;

    // The text as an RTF document in the preview's font, every character escaped: backslashes and
    // braces as control symbols, non-ASCII as Unicode control words (a character beyond the basic
    // plane as its two surrogates), line feeds as paragraph ends.
    QByteArray rtfData() const;

    static const QString fontName;
    static constexpr int fontPointSize = 11;

private:
    QList<RichTextRun> runs_;
};
