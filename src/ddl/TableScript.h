#pragma once

#include "ddl/DdlScript.h"

#include <QVariantMap>

class DdlNaming;

// The CREATE TABLE statement of a table run's shared data ("schema", "name", "columns", "keyColumns",
// "skipKey", "constraints", "options", "comment"), and the statement that sets the comment when there
// is one the database can store. Names are written as the backend quotes them; defaults and check
// conditions exactly as typed.
namespace TableScript
{
DdlScript build(const QVariantMap &shared, DdlNaming &naming);
}
