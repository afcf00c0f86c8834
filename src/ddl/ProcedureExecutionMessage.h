#pragma once

#include <QList>
#include <QString>

// What a successful run of stored code says: a title naming what ran and a text listing the return
// value and the out values.
struct ProcedureExecutionKind {
    bool isFunction = false;
    bool isProcedure = false;
    bool isPackageFunction = false;
    bool isPackageProcedure = false;
    QString name;
    // The package member that ran.
    QString member;
};

struct ProcedureOutput {
    // resultKey for the function's value.
    QString name;
    QString value;
};

namespace ProcedureExecutionMessage
{

inline const QString resultKey = QStringLiteral("ProcedureEditorControllerFunctionResultKey");

// Empty when the kind names nothing that ran.
QString title(const ProcedureExecutionKind &kind);
QString text(const ProcedureExecutionKind &kind, const QList<ProcedureOutput> &outputs);

} // namespace ProcedureExecutionMessage
