#pragma once

#include <QPixmap>
#include <QString>

// The small letter badges that mark a column's value type ("S" text, "N" number, "D" date and time)
// in headers, cells and menus; negative badges mark a type that does not fit its target.
namespace ImportUtils
{
QPixmap imageForLetter(const QString &letter, bool negative = false);
} // namespace ImportUtils
