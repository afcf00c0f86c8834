#pragma once

#include <QByteArray>
#include <QString>

// Writes a file that only its owner may read, like the document logs: the program's own copies of the
// user's SQL (autosaved documents, the restored windows and tabs) are nobody else's business. The file
// is replaced whole or left as it was; a folder made for it is owner-only too. False, with the reason
// in error, when it could not be written.
bool writeOwnerOnlyFile(const QString &path, const QByteArray &data, QString *error = nullptr);
