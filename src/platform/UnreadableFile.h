#pragma once

#include <QString>

// A stored file that no longer reads (a hand edit, a torn disk) would be replaced by the next save
// with only what was set since. Moving it aside under a name of its own keeps it for the user to
// mend. Answers the new name, or an empty string when the file could not be moved.
QString keepUnreadableFileAside(const QString &filePath);
