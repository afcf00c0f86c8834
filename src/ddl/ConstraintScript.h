#pragma once

#include "ddl/DdlScript.h"

#include <QVariantMap>

class DdlNaming;

// The ALTER TABLE ... ADD CONSTRAINT statement of a constraint run's shared data ("name", "table",
// "schema", "type": "UNIQUE", "PRIMARYKEY", "FOREIGNKEY" or "CONDITIONAL", "columns", "condition",
// "references": the referred table and its key columns, "options"). A check condition is written as entered.
namespace ConstraintScript
{
DdlScript build(const QVariantMap &shared, DdlNaming &naming);
}
