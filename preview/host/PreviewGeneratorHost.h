#pragma once

#include "QuickLookGenerator.h"

#include <QByteArray>
#include <QMap>
#include <QString>

#include <memory>

// A loaded preview generator, as a QuickLook host holds one: the library opened, one instance made
// by its factory and queried for the callbacks interface, the factory's own reference given back.
// The host holds that one reference until it is destroyed, then closes the library.
class PreviewGeneratorHost
{
public:
    // The generator installed beside the host (<prefix>/lib/vorn/libVornQuickLook.so).
    static QString installedGeneratorPath();
    // Null, with a message in error, when the library, its factory or the interface is missing.
    static std::unique_ptr<PreviewGeneratorHost> load(const QString &libraryPath, QString *error);
    ~PreviewGeneratorHost();
    PreviewGeneratorHost(const PreviewGeneratorHost &) = delete;
    PreviewGeneratorHost &operator=(const PreviewGeneratorHost &) = delete;

    // The representations the generator made of the document (file path or file URL), by content
    // type ("text/rtf", "text/html"); empty when it made none.
    QMap<QByteArray, QByteArray> previewForURL(const QString &url) const;

    // The instance's reference count through its interface; both return the new count.
    uint32_t addRef() const;
    uint32_t release() const;

private:
    PreviewGeneratorHost(void *library, void *instance);
    const VornQLGeneratorInterface &interface() const;

    void *library_;
    void *instance_;
};
