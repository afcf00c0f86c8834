#pragma once

#include <QString>

#include <functional>

// Puts an export's finished file at its destination: the bytes are written into a new file next to the
// destination, which is then renamed over it, so an existing file is replaced only by a complete one,
// also when the temporary file lies on another file system.
namespace ExportDestination
{
// Null when the destination holds the file; otherwise why not, the destination left as it was.
// cancelled is asked between pieces: once true, nothing is replaced (and that is no failure).
QString replace(const QString &source, const QString &destination, const std::function<bool()> &cancelled);
} // namespace ExportDestination
