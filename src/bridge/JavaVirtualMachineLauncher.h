#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

#include <jni.h>
#include <mutex>

// Starts the process's Java VM from the "QoJavaBridge" dictionary of Info.plist (the JRE's
// libraries are opened at run time, so no JRE is linked) and keeps each thread's JNI environment.
// A thread that ends while still attached is detached on its way out; the thread that started
// the VM is never detached.
class JavaVirtualMachineLauncher
{
public:
    // What the dictionary makes of the VM. usable is false when a key is missing: then warning is
    // only logged, heldError waits for the delegate.
    struct Configuration {
        bool usable = false;
        QString warning;
        QString heldError;
        QString javaHome;
        QStringList options;
    };
    // Pure function of the Info.plist dictionary and the install prefix (the bundle path).
    static Configuration configurationFromInfoDictionary(const QVariantMap &infoDictionary,
                                                         const QString &bundlePath);
    // Appends the user's driver jars to the class path and tells the backend the folder where a
    // user puts them (system property "vorn.drivers.folder", for its missing-driver message).
    static void addUserDrivers(Configuration &configuration, const QString &userFolder,
                               const QStringList &jars);

    // Starts the VM and attaches the calling thread to it. On failure the reason is logged or
    // held (heldConfigError()) and false is returned.
    bool start(const QVariantMap &infoDictionary, const QString &bundlePath);
    bool hasVirtualMachine() const { return virtualMachine_ != nullptr; }

    // The calling thread's environment; a thread without one is attached on the spot (with a
    // warning) and stays attached. Null without a VM.
    JNIEnv *environment();
    // The calling thread's environment without attaching; null on a thread never attached.
    static JNIEnv *currentEnvironment();
    // Attaches the calling thread under the given name (shown in Java thread dumps).
    void attachNativeThread(const QString &threadName = QString());
    // Detaches the calling thread; the thread that started the VM is never detached.
    void removeNativeThread();

    // The configuration error held for the delegate, if any.
    QString heldConfigError() const;

private:
    void *openLibrary(const QString &path, const char *logName, const char *heldError);
    void holdConfigError(const QString &error);

    JavaVM *virtualMachine_ = nullptr;
    mutable std::mutex heldErrorMutex_;
    QString heldConfigError_;
};
