#include "client/ImportRowPacker.h"

void ImportRowPacker::appendText(QStringView text)
{
    cells_.append(QChar(TextTag));
    appendNumber(cells_, text.size());
    cells_.append(text);
}

QString ImportRowPacker::take()
{
    QString packed;
    packed.reserve(cells_.size() + 5);
    appendNumber(packed, rowCount_);
    packed.append(cells_);
    cells_.resize(0);
    rowCount_ = 0;
    return packed;
}

void ImportRowPacker::appendNumber(QString &out, qsizetype number)
{
    while (number >= 0x80) {
        out.append(QChar(char16_t(0x80 | (number & 0x7F))));
        number >>= 7;
    }
    out.append(QChar(char16_t(number)));
}
