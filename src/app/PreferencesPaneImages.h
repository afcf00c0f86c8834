#pragma once

#include <QIcon>
#include <QString>

// The toolbar images of the preferences panes ("PrefGeneral", "PrefBrowser", "PrefTabs",
// "PrefSqlEditor", "PrefResultset", "PrefConnections", "PrefPrint"), drawn in one flat style so
// they look alike whatever icon theme the desktop has. An unknown name gives a null icon.
class PreferencesPaneImages
{
public:
    static QIcon imageNamed(const QString &name);
};
