#pragma once

// While TZ is unset the C library looks at /etc/localtime again on every local-time conversion, and
// an import converts one per date cell. Naming the system's zone in TZ at start has it read the zone
// once. The zone's name, not the file's path: the Java VM, which inherits the setting, takes names
// only (a path gives it GMT).
namespace SystemTimeZone
{

// Sets TZ to the system zone's name when TZ is unset and the zone file of that name holds exactly
// what /etc/localtime holds; otherwise leaves everything as it is.
void nameInEnvironment();

} // namespace SystemTimeZone
