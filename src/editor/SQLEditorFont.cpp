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
    // A fixed-width font for code has no kerning or ligatures to apply, and shaping every coloured run
    // again at each paint is most of what drawing the text costs.
    font.setStyleStrategy(QFont::PreferNoShaping);
    return font;
}
