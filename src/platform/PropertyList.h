#pragma once

#include <QByteArray>
#include <QString>
#include <QVariant>

// Property-list files (XML or binary) as Qt values: dict → QVariantMap, array → QVariantList,
// string → QString, integer → qint64, real → double, bool → bool, data → QByteArray,
// date → QDateTime (UTC). Readers answer an invalid QVariant on failure and say why in *error.
namespace PropertyList
{

QVariant readFile(const QString &path, QString *error = nullptr);
// Writes XML atomically, creating missing folders.
bool writeFile(const QVariant &value, const QString &path, QString *error = nullptr);
QVariant fromData(const QByteArray &xmlOrBinary, QString *error = nullptr);
// Empty when the value holds a type a property list cannot carry.
QByteArray toXml(const QVariant &value);

} // namespace PropertyList
