#include "platform/Bundle.h"

#include "platform/PropertyList.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDir>

#include <mutex>

namespace
{
std::mutex mainBundleMutex;
QString mainBundlePrefix;

QString defaultPrefix()
{
    return QDir::cleanPath(QCoreApplication::applicationDirPath() + QStringLiteral("/.."));
}
} // namespace

Bundle::Bundle(QString prefix) : prefix_(QDir::cleanPath(prefix)) {}

Bundle Bundle::mainBundle()
{
    std::lock_guard lock(mainBundleMutex);
    return Bundle(mainBundlePrefix.isEmpty() ? defaultPrefix() : mainBundlePrefix);
}

void Bundle::setMainBundlePrefix(const QString &prefix)
{
    std::lock_guard lock(mainBundleMutex);
    mainBundlePrefix = prefix;
}

QString Bundle::resourcePath() const
{
    return prefix_ + QStringLiteral("/share/vorn");
}

QString Bundle::pathForResource(const QString &relativePath) const
{
    return resourcePath() + QLatin1Char('/') + relativePath;
}

QString Bundle::executableFolder() const
{
    return prefix_ + QStringLiteral("/bin");
}

QVariantMap Bundle::infoDictionary() const
{
    const QString path = pathForResource(QStringLiteral("Info.plist"));
    QString error;
    const QVariant info = PropertyList::readFile(path, &error);
    if (info.metaType().id() != QMetaType::QVariantMap) {
        qWarning().noquote() << QStringLiteral("Info.plist unreadable at %1: %2").arg(path, error);
        return {};
    }
    return info.toMap();
}

QVariant Bundle::objectForInfoDictionaryKey(const QString &key) const
{
    return infoDictionary().value(key);
}
