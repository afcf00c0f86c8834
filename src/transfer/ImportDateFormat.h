#pragma once

#include <QDateTime>
#include <QList>
#include <QString>

#include <optional>

// A date pattern of the import in the Unicode (ICU) notation: y, M, d, H, h, m, s, S, a, Z, z, O and
// quoted literals. Strict parsing takes the digits each field's width asks for; lenient parsing also
// takes fewer digits where a separator follows, blanks that differ and the am/pm marker in any case.
// Both refuse what is no real date (the 31st of April, hour 25), so no value ever rolls over.
class ImportDateFormat
{
public:
    ImportDateFormat(const QString &pattern, bool lenient);

    // The moment in local time, or nothing when the text does not have the pattern's shape.
    std::optional<QDateTime> parse(const QString &text) const;
    QString pattern() const { return pattern_; }
    bool lenient() const { return lenient_; }

    struct Field {
        QChar letter; // 0 for literal text
        int width = 0;
        QString literal;
    };

private:
    QString pattern_;
    bool lenient_;
    QList<Field> fields_;
};
