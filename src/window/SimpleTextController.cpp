#include "window/SimpleTextController.h"

#include <QCoreApplication>

QString SimpleTextController::contentTypeForElementType(const QString &type)
{
    if (type == "CONSTRAINT")
        return QCoreApplication::translate("printing", "Constraint");
    if (type == "INDEX")
        return QCoreApplication::translate("printing", "Index");
    return type;
}
