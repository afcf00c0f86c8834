#pragma once

#include "platform/PreferenceDefaults.h"
#include "platform/UserDefaults.h"

#include <QApplication>
#include <QTemporaryDir>

#include <cstdlib>
#include <memory>

// The application an editor benchmark runs in: offscreen unless a platform was chosen, with the default
// preferences in a configuration folder of its own, so that the user's settings never change a figure.
class EditorBenchApplication
{
public:
    EditorBenchApplication(int &argc, char **argv) : configuration_(prepare()), application_(argc, argv)
    {
        QApplication::setOrganizationName("Vorn");
        QApplication::setApplicationName("Vorn");
        PreferenceDefaults::setDefaultPreferences(UserDefaults::standard());
    }

private:
    static QTemporaryDir *prepare()
    {
        if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
            setenv("QT_QPA_PLATFORM", "offscreen", 1);
        auto *folder = new QTemporaryDir;
        setenv("XDG_CONFIG_HOME", folder->path().toUtf8().constData(), 1);
        return folder;
    }

    std::unique_ptr<QTemporaryDir> configuration_;
    QApplication application_;
};
