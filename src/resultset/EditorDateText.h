#pragma once

#include <QDateTime>
#include <QString>

// Writes a moment in a date pattern of SimpleDateFormat's letters (the form the preferences store), as
// the backend writes the values of the grid: a run of "S" is the fraction of the second (".5" is half a
// second), with as many digits as the run and more where the value needs them.
namespace EditorDateText
{
QString format(const QDateTime &moment, const QString &pattern);
}
