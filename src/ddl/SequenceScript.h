#pragma once

#include "ddl/DdlScript.h"

#include <QVariantMap>

class DdlDialect;
class DdlNaming;

// The CREATE SEQUENCE statement of a sequence run's shared data ("schema", "name", the "<setting>_default"
// flags and "<setting>_value" numbers of start, increment, min, max and cache, "cycle_default",
// "cycle_value"), one line per setting in that fixed order. It runs with its last line break; the copied
// text is trimmed first.
namespace SequenceScript
{
DdlScript build(const QVariantMap &shared, const DdlDialect &dialect, DdlNaming &naming);
}
