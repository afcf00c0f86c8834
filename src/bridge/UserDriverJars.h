#pragma once

#include <QString>
#include <QStringList>

// JDBC drivers the user brings: jars in the Drivers folder of the program's data folder and in the
// folders the VORN_DRIVERS environment variable names (separated by ':'). They join the VM's class
// path after the bundled libraries, so a bundled driver always wins.
namespace UserDriverJars
{
// The data folder's Drivers folder first, then the VORN_DRIVERS folders in their order.
QStringList folders();
// The jars of each folder, sorted by name; a file that is not a readable jar is skipped with a log
// line (the VM would skip it without a word, leaving the user to wonder).
QStringList jarsIn(const QStringList &folders);
} // namespace UserDriverJars
