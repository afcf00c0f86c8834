#include "editor/SQLEditorFont.h"
#include "platform/Preferences.h"

#include "platform/UserDefaults.h"

#include <QFontDatabase>

int SQLEditorFont::fontSize()
{
    return int(UserDefaults::standard().integerForKey(PreferenceKey::syntaxFontSize));
}

QFont SQLEditorFont::editorFont()
{
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    if (fontSize() > 0)
        font.setPointSize(fontSize());
    return font;
}
