#pragma once

#include <QFont>

// The fixed-width font of every SQL text, at the size the preferences give.
class SQLEditorFont
{
public:
    // The preference "syntaxFontSize" in points.
    static int fontSize();
    static QFont editorFont();
};
