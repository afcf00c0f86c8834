#include "PreviewGeneratorHost.h"

#include "GeneratorUUID.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <dlfcn.h>

namespace
{

using Factory = void *(*)(const void *allocator, VornUUIDBytes typeID);

void collect(VornQLRequest *request, const char *data, size_t length, const char *contentType)
{
    auto *representations = static_cast<QMap<QByteArray, QByteArray> *>(request->context);
    representations->insert(QByteArray(contentType), QByteArray(data, qsizetype(length)));
}

const VornQLGeneratorInterface &tableOf(void *instance)
{
    return **static_cast<VornQLGeneratorInterface **>(instance);
}

} // namespace

QString PreviewGeneratorHost::installedGeneratorPath()
{
    return QDir::cleanPath(QCoreApplication::applicationDirPath() +
                           QStringLiteral("/../lib/vorn/libVornQuickLook.so"));
}

std::unique_ptr<PreviewGeneratorHost> PreviewGeneratorHost::load(const QString &libraryPath, QString *error)
{
    void *library = dlopen(QFile::encodeName(libraryPath).constData(), RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        *error =
            QStringLiteral("Cannot load the preview generator: %1").arg(QString::fromLocal8Bit(dlerror()));
        return nullptr;
    }
    auto factory = reinterpret_cast<Factory>(dlsym(library, VORN_QUICKLOOK_FACTORY_FUNCTION));
    void *unknown =
        factory ? factory(nullptr, GeneratorUUID::fromString(VORN_QL_GENERATOR_TYPE_ID)) : nullptr;
    if (!unknown) {
        *error = QStringLiteral("%1 makes no preview generator").arg(libraryPath);
        dlclose(library);
        return nullptr;
    }
    void *instance = nullptr;
    const VornHResult result = tableOf(unknown).QueryInterface(
        unknown, GeneratorUUID::fromString(VORN_QL_GENERATOR_CALLBACKS_INTERFACE_ID), &instance);
    // The factory's reference: the interface, when there is one, holds its own.
    tableOf(unknown).Release(unknown);
    if (result != VORN_S_OK || !instance) {
        *error = QStringLiteral("%1 has no preview callbacks").arg(libraryPath);
        dlclose(library);
        return nullptr;
    }
    return std::unique_ptr<PreviewGeneratorHost>(new PreviewGeneratorHost(library, instance));
}

PreviewGeneratorHost::PreviewGeneratorHost(void *library, void *instance)
    : library_(library), instance_(instance)
{
}

PreviewGeneratorHost::~PreviewGeneratorHost()
{
    interface().Release(instance_);
    dlclose(library_);
}

const VornQLGeneratorInterface &PreviewGeneratorHost::interface() const
{
    return tableOf(instance_);
}

QMap<QByteArray, QByteArray> PreviewGeneratorHost::previewForURL(const QString &url) const
{
    QMap<QByteArray, QByteArray> representations;
    VornQLRequest request{&representations, collect};
    interface().GeneratePreviewForURL(instance_, &request, url.toUtf8().constData(), "application/sql",
                                      nullptr);
    return representations;
}

uint32_t PreviewGeneratorHost::addRef() const
{
    return interface().AddRef(instance_);
}

uint32_t PreviewGeneratorHost::release() const
{
    return interface().Release(instance_);
}
