#pragma once

#include "ddl/DdlScript.h"

#include <QVariantMap>

class DdlNaming;

// The CREATE INDEX statement of an index run's shared data ("type", "name", "table", "schema",
// "columns", "options"). Column names are quoted where needed; expressions are written as typed.
namespace IndexScript
{
DdlScript build(const QVariantMap &shared, DdlNaming &naming);
}
