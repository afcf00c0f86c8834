#pragma once

#include <QString>
#include <QVariant>

// The installed application: the prefix is the executable folder's parent, resources live in
// share/vorn/ and share/vorn/Info.plist holds the application's settings ("QoJavaBridge",
// "BuildNumber", "CFBundleShortVersionString", ...). The build tree has the same layout.
class Bundle
{
public:
    explicit Bundle(QString prefix);

    // The running application's bundle (prefix from QCoreApplication::applicationDirPath()/..).
    static Bundle mainBundle();
    // Points the main bundle at another prefix (tests use the build tree). Empty restores it.
    static void setMainBundlePrefix(const QString &prefix);

    // The install prefix.
    QString bundlePath() const { return prefix_; }
    // <prefix>/share/vorn
    QString resourcePath() const;
    // <prefix>/share/vorn/<relative path>
    QString pathForResource(const QString &relativePath) const;
    // <prefix>/bin
    QString executableFolder() const;

    // The contents of share/vorn/Info.plist; empty when it is missing or unreadable (logged).
    QVariantMap infoDictionary() const;
    QVariant objectForInfoDictionaryKey(const QString &key) const;

private:
    QString prefix_;
};
