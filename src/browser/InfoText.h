#pragma once

#include <QCoreApplication>
#include <QString>

// The info column's texts, from the string table "infopanel".
inline QString infoText(const char *text)
{
    return QCoreApplication::translate("infopanel", text);
}
