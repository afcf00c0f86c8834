#pragma once

#include <QString>
#include <QStringView>

// Packs rows for the backend's importer (VornImporter.addRows), so that thousands of rows cross in one
// call without a map per row: the number of rows, then per row one cell per column, each a tag (NULL or
// text) and, for text, its length and characters; numbers seven bits to a character, lowest first,
// 0x80 marking more (as the backend's own packed rows).
class ImportRowPacker
{
public:
    void beginRow() { ++rowCount_; }
    void appendNull() { cells_.append(QChar(NullTag)); }
    void appendText(QStringView text);

    int rowCount() const { return rowCount_; }
    qsizetype characterCount() const { return cells_.size(); }
    // The packed rows; the packer is empty again afterwards.
    QString take();

private:
    enum Tag : char16_t { NullTag = 0, TextTag = 1 };
    static void appendNumber(QString &out, qsizetype number);

    QString cells_;
    int rowCount_ = 0;
};
