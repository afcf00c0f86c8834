#include "sql/SQLCharacterSet.h"

#include <QChar>

SQLCharacterSet SQLCharacterSet::characterSetWithCharactersInString(const QString &characters)
{
    SQLCharacterSet set;
    for (const QChar c : characters)
        set.addCharacter(c.unicode());
    return set;
}

SQLCharacterSet SQLCharacterSet::whitespaceCharacterSet()
{
    SQLCharacterSet set;
    set.addCharacter(u'\t');
    for (char32_t c = 0; c <= 0xFFFF; ++c) {
        if (QChar::category(c) == QChar::Separator_Space)
            set.addCharacter(char16_t(c));
    }
    return set;
}
