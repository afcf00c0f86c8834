#pragma once

#include <QString>

// Where the program keeps its files, in one place. Folders are not created here; writers create
// what they write into (the logs folder excepted, see logs()).
class AppFolders
{
public:
    // The program's data folder (~/.local/share/Vorn): what the backend gets as its support folder,
    // and the home of the per-connection settings files.
    static QString support();
    // The document logs; created owner-only on first use.
    static QString logs();
    // Copies of unsaved and autosaved documents.
    static QString autosave();
    // The open windows and tabs of the last run.
    static QString restorationFile();
    // JDBC driver jars the user brings; created when the VM starts.
    static QString drivers();
    // The per-connection settings files.
    static QString connectionSettings();
    // The preferences store (~/.config/Vorn/Vorn.json).
    static QString preferencesFile();

    // True when path names a plain file directly inside folder, or nothing yet: not a link (which
    // could point anywhere), not a folder, not in a subfolder and not reached through "..". The
    // program writes and deletes only such files among those whose names it reads back from disk.
    static bool holdsPlainFile(const QString &folder, const QString &path);
};
