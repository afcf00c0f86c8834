#include "bridge/JavaVirtualMachineLauncher.h"

#include "bridge/BridgeLog.h"
#include "bridge/UserDriverJars.h"
#include "platform/AppFolders.h"

#include <QDir>
#include <QFile>

#include <dlfcn.h>
#include <vector>

namespace
{
// Each thread's JNI environment; the thread that created the VM is marked and never detached.
// A thread that ends while still attached is detached on its way out: the VM would otherwise keep
// its Java thread for the rest of the run.
struct ThreadAttachment {
    JNIEnv *environment = nullptr;
    JavaVM *virtualMachine = nullptr;
    bool startedVirtualMachine = false;
    ~ThreadAttachment()
    {
        if (environment && virtualMachine && !startedVirtualMachine)
            virtualMachine->DetachCurrentThread();
    }
};
thread_local ThreadAttachment attachment;

QString libraryClassPath(const QVariantList &entries, const QString &bundlePath, const QString &libraryPath)
{
    QStringList paths;
    for (const QVariant &entry : entries) {
        const QString name = entry.toString();
        // Entries may be absolute: the JDBC drivers stay where the system installed them.
        paths << (QDir::isAbsolutePath(name) ? name
                                             : QStringLiteral("%1/%2/%3").arg(bundlePath, libraryPath, name));
    }
    return paths.join(QLatin1Char(':'));
}
} // namespace

JavaVirtualMachineLauncher::Configuration
JavaVirtualMachineLauncher::configurationFromInfoDictionary(const QVariantMap &infoDictionary,
                                                            const QString &bundlePath)
{
    Configuration configuration;
    if (!infoDictionary.contains(QStringLiteral("QoJavaBridge"))) {
        configuration.warning = QStringLiteral("WARNING QoJavaBridge not set");
        return configuration;
    }
    const QVariantMap bridge = infoDictionary.value(QStringLiteral("QoJavaBridge")).toMap();
    const QString jre = bridge.value(QStringLiteral("JRE")).toString();
    if (jre.isEmpty()) {
        configuration.warning = QStringLiteral("WARNING JRE not set");
        return configuration;
    }
    if (!bridge.contains(QStringLiteral("LibraryPath"))) {
        configuration.heldError = QStringLiteral("Bundle configuration incomplete, LibraryPath not set.");
        return configuration;
    }
    if (!bridge.contains(QStringLiteral("Libraries"))) {
        configuration.heldError = QStringLiteral("Bundle configuration incomplete, Libraries not set.");
        return configuration;
    }
    const QString libraryPath = bridge.value(QStringLiteral("LibraryPath")).toString();
    const QString classPath =
        libraryClassPath(bridge.value(QStringLiteral("Libraries")).toList(), bundlePath, libraryPath);
    const QVariantList bootstrap = bridge.value(QStringLiteral("BootstrapLibraries")).toList();

    // JavaOptions is split at every single space: an empty value or a double space gives an empty
    // option, which the VM ignores.
    configuration.options = bridge.value(QStringLiteral("JavaOptions")).toString().split(QLatin1Char(' '));
    configuration.options.prepend(QStringLiteral("-Djava.class.path=%1").arg(classPath));
    configuration.options.append(QStringLiteral("-Djava.library.path=%1/bin").arg(bundlePath));
    // Appended, not prepended: every JDK since 9 refuses to start with -Xbootclasspath/p:.
    if (!bootstrap.isEmpty())
        configuration.options.prepend(
            QStringLiteral("-Xbootclasspath/a:%1").arg(libraryClassPath(bootstrap, bundlePath, libraryPath)));
    configuration.javaHome = QDir::isAbsolutePath(jre) ? jre : bundlePath + QLatin1Char('/') + jre;
    configuration.usable = true;
    return configuration;
}

void JavaVirtualMachineLauncher::addUserDrivers(Configuration &configuration, const QString &userFolder,
                                                const QStringList &jars)
{
    const QString classPathOption = QStringLiteral("-Djava.class.path=");
    for (QString &option : configuration.options) {
        if (option.startsWith(classPathOption) && !jars.isEmpty())
            option += (option.size() > classPathOption.size() ? QStringLiteral(":") : QString()) +
                      jars.join(QLatin1Char(':'));
    }
    configuration.options.append(QStringLiteral("-Dvorn.drivers.folder=%1").arg(userFolder));
}

bool JavaVirtualMachineLauncher::start(const QVariantMap &infoDictionary, const QString &bundlePath)
{
    Configuration configuration = configurationFromInfoDictionary(infoDictionary, bundlePath);
    if (!configuration.usable) {
        if (!configuration.warning.isEmpty())
            qCWarning(lcBridge).noquote() << configuration.warning;
        if (!configuration.heldError.isEmpty())
            holdConfigError(configuration.heldError);
        return false;
    }
    // Created at every start, so the user finds the folder the missing-driver message names.
    QDir().mkpath(AppFolders::drivers());
    addUserDrivers(configuration, AppFolders::drivers(), UserDriverJars::jarsIn(UserDriverJars::folders()));
    const QString jvmPath = configuration.javaHome + QStringLiteral("/lib/server/libjvm.so");
    void *jvm = openLibrary(jvmPath, "libjvm", "failed to libjvm");
    if (!jvm || !openLibrary(configuration.javaHome + QStringLiteral("/lib/libjava.so"), "libjava",
                             "failed to libJava"))
        return false;
    if (!openLibrary(configuration.javaHome + QStringLiteral("/lib/libjli.so"), "libJLI", "failed to libJLI"))
        return false;
    // On Linux the invocation entry point lives in libjvm itself.
    using CreateJavaVM = jint (*)(JavaVM **, void **, void *);
    auto createJavaVM = reinterpret_cast<CreateJavaVM>(dlsym(jvm, "JNI_CreateJavaVM"));
    if (!createJavaVM) {
        holdConfigError(QStringLiteral("failed to JNI_CreateJavaVM fxn ptr from libJLI"));
        return false;
    }

    std::vector<QByteArray> optionStrings;
    std::vector<JavaVMOption> options;
    for (const QString &option : configuration.options)
        optionStrings.push_back(option.toUtf8());
    for (QByteArray &option : optionStrings)
        options.push_back(JavaVMOption{option.data(), nullptr});
    JavaVMInitArgs arguments{JNI_VERSION_1_6, jint(options.size()), options.data(), JNI_TRUE};
    JNIEnv *env = nullptr;
    JavaVM *vm = nullptr;
    const jint result = createJavaVM(&vm, reinterpret_cast<void **>(&env), &arguments);
    if (result != JNI_OK) {
        holdConfigError(QStringLiteral("failed to JNI_CreateJavaVM (%1): %2").arg(result).arg(jvmPath));
        return false;
    }
    virtualMachine_ = vm;
    attachment.environment = env;
    attachment.startedVirtualMachine = true;
    return true;
}

void *JavaVirtualMachineLauncher::openLibrary(const QString &path, const char *logName, const char *heldError)
{
    void *handle = dlopen(QFile::encodeName(path).constData(), RTLD_NOW | RTLD_GLOBAL);
    if (!handle) {
        qCWarning(lcBridge).noquote() << QStringLiteral("dlopens %1 -> %2, error = %3")
                                             .arg(QLatin1String(logName))
                                             .arg(0)
                                             .arg(QString::fromLocal8Bit(dlerror()));
        holdConfigError(QString::fromLatin1(heldError));
        return nullptr;
    }
    qCDebug(lcBridge).noquote() << QStringLiteral("dlopens %1 -> %2").arg(QLatin1String(logName), path);
    return handle;
}

JNIEnv *JavaVirtualMachineLauncher::environment()
{
    if (attachment.environment)
        return attachment.environment;
    if (!virtualMachine_)
        return nullptr;
    qCWarning(lcBridge, "WARNING QoJavaBridge needed to attach emergency jni thread");
    attachNativeThread();
    return attachment.environment;
}

JNIEnv *JavaVirtualMachineLauncher::currentEnvironment()
{
    return attachment.environment;
}

void JavaVirtualMachineLauncher::attachNativeThread(const QString &threadName)
{
    if (attachment.environment) {
        qCInfo(lcBridge, "attachNativeThread cancelled allready attached");
        return;
    }
    if (!virtualMachine_) {
        qCWarning(lcBridge, "Warning: attaching native thread before a virtual machine is available");
        return;
    }
    QByteArray name = threadName.toUtf8();
    JavaVMAttachArgs arguments{JNI_VERSION_1_6, name.isEmpty() ? nullptr : name.data(), nullptr};
    JNIEnv *env = nullptr;
    if (virtualMachine_->AttachCurrentThread(reinterpret_cast<void **>(&env), &arguments) == JNI_OK) {
        attachment.environment = env;
        attachment.virtualMachine = virtualMachine_;
    }
}

void JavaVirtualMachineLauncher::removeNativeThread()
{
    if (attachment.startedVirtualMachine) {
        qCWarning(lcBridge, "Warning trying to delete main thread");
        return;
    }
    if (virtualMachine_ && attachment.environment)
        virtualMachine_->DetachCurrentThread();
    attachment.environment = nullptr;
}

QString JavaVirtualMachineLauncher::heldConfigError() const
{
    std::lock_guard lock(heldErrorMutex_);
    return heldConfigError_;
}

void JavaVirtualMachineLauncher::holdConfigError(const QString &error)
{
    std::lock_guard lock(heldErrorMutex_);
    heldConfigError_ = error;
}
