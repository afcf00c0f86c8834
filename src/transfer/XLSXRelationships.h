#pragma once

#include <QHash>
#include <QString>

#include <optional>

// The relationships of one part of a workbook package: relationship id to the target part, and the
// parts of the roles the importer needs ("sharedStrings", "styles", "theme", "officeDocument",
// "worksheet" for the first one). Targets are resolved as the package format defines: an absolute
// target from the package root, a relative one from the folder of the part that owns the
// relationships. Targets outside the package and external targets are left out.
class XLSXRelationships
{
public:
    // The relationships of the part at partPath (package-relative, "" for the package itself), read
    // from the unpacked folder; none when the relationship part cannot be read.
    static std::optional<XLSXRelationships> read(const QString &folder, const QString &partPath);
    // The package-relative path of a target as seen from the part.
    static QString resolveTarget(const QString &partPath, const QString &target);

    // Package-relative path of the part; empty when there is no such relationship.
    QString partForId(const QString &id) const { return byId_.value(id); }
    QString partForRole(const QString &role) const { return byRole_.value(role); }
    const QHash<QString, QString> &parts() const { return byId_; }

private:
    QHash<QString, QString> byId_;
    QHash<QString, QString> byRole_;
};
