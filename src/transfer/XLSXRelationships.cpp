#include "transfer/XLSXRelationships.h"

#include "transfer/XLSXXml.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QXmlStreamReader>

namespace
{

const char *const roles[] = {"sharedStrings", "styles", "theme", "officeDocument", "worksheet"};

QString relationshipPartOf(const QString &partPath)
{
    if (partPath.isEmpty())
        return QStringLiteral("_rels/.rels");
    const qsizetype slash = partPath.lastIndexOf(u'/');
    return partPath.left(slash + 1) + QStringLiteral("_rels/") + partPath.mid(slash + 1) +
           QStringLiteral(".rels");
}

} // namespace

QString XLSXRelationships::resolveTarget(const QString &partPath, const QString &target)
{
    QString path;
    if (target.startsWith(u'/'))
        path = target.mid(1);
    else
        path = partPath.left(partPath.lastIndexOf(u'/') + 1) + target;
    path = QDir::cleanPath(path);
    if (path.isEmpty() || path == QLatin1String(".") || path.startsWith(QLatin1String("..")) ||
        path.startsWith(u'/'))
        return QString();
    return path;
}

std::optional<XLSXRelationships> XLSXRelationships::read(const QString &folder, const QString &partPath)
{
    QFile file(QDir(folder).filePath(relationshipPartOf(partPath)));
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    XLSXRelationships relationships;
    QXmlStreamReader reader(&file);
    int depth = 0;
    while (!reader.atEnd()) {
        const QXmlStreamReader::TokenType token = reader.readNext();
        if (token == QXmlStreamReader::EndElement)
            --depth;
        if (token != QXmlStreamReader::StartElement)
            continue;
        ++depth;
        if (depth != 2 || reader.name() != QLatin1String("Relationship"))
            continue;
        const QXmlStreamAttributes attributes = reader.attributes();
        if (attributes.value(QLatin1String("TargetMode")) == QLatin1String("External"))
            continue;
        const QString part = resolveTarget(partPath, attributes.value(QLatin1String("Target")).toString());
        if (part.isEmpty())
            continue;
        relationships.byId_.insert(attributes.value(QLatin1String("Id")).toString(), part);
        const QStringView type = attributes.value(QLatin1String("Type"));
        for (const char *role : roles) {
            const QString name = QLatin1String(role);
            if (type.endsWith(QStringLiteral("/") + name) && !relationships.byRole_.contains(name))
                relationships.byRole_.insert(name, part);
        }
    }
    if (reader.hasError())
        return std::nullopt;
    return relationships;
}
