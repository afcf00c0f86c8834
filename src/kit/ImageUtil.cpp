#include "kit/ImageUtil.h"

#include "kit/KitLog.h"

#include <QHash>
#include <QPainter>

static void initIconResources()
{
    // The icons live in a static library: make sure its resource initialiser is linked in and run.
    static const bool done = [] {
        Q_INIT_RESOURCE(vorn_icons);
        return true;
    }();
    Q_UNUSED(done);
}

QString ImageUtil::imageNameForBrowserType(qint64 browserType)
{
    static const QHash<qint64, QString> names{
        {0, "SideTable"},     {1, "SideView"},     {2, "SideIndex"},    {3, "SideConstraint"},
        {4, "SideProcedure"}, {5, "SideFunction"}, {6, "SideTrigger"},  {7, "SideSequence"},
        {8, "SideSynonym"},   {9, "SideSQL"},      {10, "SidePackage"}, {20, "SideActivity"},
        {21, "SideDatabase"}, {22, "SideObjects"}, {23, "SideSession"}};
    return names.value(browserType, "SideUnknown");
}

QString ImageUtil::synonymBaseImageName(const QString &subtype)
{
    static const QHash<QString, QString> names{{"view", "SideView"},
                                               {"sequence", "SideSequence"},
                                               {"procedure", "SideProcedure"},
                                               {"function", "SideFunction"},
                                               {"package", "SidePackage"}};
    return names.value(subtype, "SideTable");
}

QPixmap ImageUtil::bundleImage(const QString &name)
{
    initIconResources();
    return QPixmap(QStringLiteral(":/icons/%1.png").arg(name));
}

QPixmap ImageUtil::imageForBrowserElement(qint64 browserType, const QString &subtype)
{
    const QString name = imageNameForBrowserType(browserType);
    if (name == "SideUnknown")
        qCWarning(lcKit, "no image for browser element type %lld", static_cast<long long>(browserType));
    if (browserType != 8)
        return bundleImage(name);
    const QPixmap base = bundleImage(synonymBaseImageName(subtype));
    QPixmap composed(16, 16);
    composed.fill(Qt::transparent);
    QPainter painter(&composed);
    painter.drawPixmap(QRect(0, 0, 16, 16), base);
    painter.drawPixmap(QPoint(0, 0), bundleImage("SideSynonym"), QRect(QPoint(0, 0), base.size()));
    return composed;
}
