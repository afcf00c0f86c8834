#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// The shared-string table of a workbook: entry i is the text of every run of its i-th "si" joined in
// document order; phonetic runs (the reading aids of East Asian text) are not part of the text.
class XLSXSharedStrings
{
public:
    // None when the part cannot be read.
    static std::optional<XLSXSharedStrings> read(const QString &path);

    qsizetype stringCount() const { return strings_.size(); }
    // A null text for an index outside the table.
    QString string(qsizetype index) const
    {
        return index >= 0 && index < strings_.size() ? strings_[index] : QString();
    }

private:
    QStringList strings_;
};
