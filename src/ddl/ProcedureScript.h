#pragma once

#include "ddl/DdlScript.h"

#include <QVariantMap>

class DdlDialect;
class DdlNaming;

// The text that creates an empty procedure, function or package from a procedure run's shared data
// ("TYPE", "schema", "name", "returnType", "returnSize", "parameters": entries of "name", "type",
// "usage", "size"). A package is two statements, its header and its body.
namespace ProcedureScript
{
DdlScript build(const QVariantMap &shared, const DdlDialect &dialect, DdlNaming &naming);
}
