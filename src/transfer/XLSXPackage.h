#pragma once

#include <QString>
#include <QStringList>

// Workbook packages (zip archives) unpacked and updated in process. Entry names that would leave the
// target folder (a ".." step, an absolute path, a drive letter) are refused, so a hostile package
// cannot write outside the folder it is unpacked into.
namespace XLSXPackage
{

// Unpacks every entry of the package into the folder, which must exist. Null on success, else what
// went wrong (a damaged package, an unsafe entry name, a file that could not be written).
QString unpack(const QString &packagePath, const QString &folder);

// Replaces the named entries of the package with the files of the same relative names in the folder.
// Only entries the package already holds are replaced; a missing one is an error and leaves the
// package as it was.
QString replaceEntries(const QString &packagePath, const QString &folder, const QStringList &entryNames);

// Whether the entry name stays inside the folder it is unpacked into.
bool isSafeEntryName(const QString &name);

} // namespace XLSXPackage
