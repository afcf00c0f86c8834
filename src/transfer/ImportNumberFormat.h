#pragma once

#include <QString>

#include <optional>

// A number format of the import ("(-)12345.00", "1,23e45 (-)", ...): where the minus stands, which
// character separates the decimals (the other one groups thousands) and whether an exponent may follow.
// Strict parsing takes exactly the format; lenient parsing also takes blanks, a plus sign, the minus on
// the other side and thousands separators anywhere in the integer part.
class ImportNumberFormat
{
public:
    ImportNumberFormat(const QString &format, bool lenient);

    static bool isScientific(const QString &format);

    // The number as plain text ("-1234.5", "1.23e45"), or nothing when the text is no number here.
    std::optional<QString> parse(const QString &text) const;

    QChar decimalSeparator() const { return decimal_; }
    QChar groupingSeparator() const { return grouping_; }
    bool minusAsSuffix() const { return minusSuffix_; }
    bool scientific() const { return scientific_; }
    bool lenient() const { return lenient_; }

private:
    QChar decimal_;
    QChar grouping_;
    bool minusSuffix_;
    bool scientific_;
    bool lenient_;
};
