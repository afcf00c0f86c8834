#pragma once

#include "bridge/JavaDereferencer.h"
#include "bridge/JavaVirtualMachineLauncher.h"
#include "bridge/QoJavaObject.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <atomic>
#include <jni.h>
#include <memory>

class JavaClassMirror;
class JavaExceptionReporter;
class JavaValueConverter;
class QoJavaBridgeDelegate;
class QoJavaClass;
class QoJavaMethod;

// The Java VM of the process and the way into it. One VM per process, started from the
// "QoJavaBridge" dictionary of Info.plist and never destroyed. Every thread that calls Java keeps
// its own JNI environment; worker threads attach through ThreadController.
// The bridge owns its parts and forwards to them: the VM launcher (start-up and thread
// attachment), the class mirror, the exception reporter and the de-referencer; the calls
// themselves and their value conversions are its own.
class QoJavaBridge
{
public:
    // What the "QoJavaBridge" dictionary of Info.plist makes of the VM. usable is false when a key
    // is missing: then warning is only logged, heldError waits for the delegate.
    using Configuration = JavaVirtualMachineLauncher::Configuration;
    // Pure function of the Info.plist dictionary and the install prefix (the bundle path).
    static Configuration configurationFromInfoDictionary(const QVariantMap &infoDictionary,
                                                         const QString &bundlePath);

    // The shared bridge. The first call (on the main thread, before any other thread uses the
    // bridge) starts the VM from the main bundle's Info.plist and preloads the standard classes.
    static QoJavaBridge *javaBridge();
    // Lets tests start the shared bridge from their own dictionary; call before javaBridge().
    static void setSharedConfiguration(const QVariantMap &infoDictionary, const QString &bundlePath);

    // A bridge that has not started yet. Only the shared one may start a VM.
    QoJavaBridge(QVariantMap infoDictionary, QString bundlePath);
    QoJavaBridge(const QoJavaBridge &) = delete;
    QoJavaBridge &operator=(const QoJavaBridge &) = delete;
    ~QoJavaBridge();

    bool startupJavaVirtualMachine();
    bool hasVirtualMachine() const { return launcher_.hasVirtualMachine(); }

    // The calling thread's environment; a thread without one is attached on the spot (with a
    // warning) and stays attached. Null without a VM.
    JNIEnv *environment();
    // Attaches the calling thread under the given name (shown in Java thread dumps).
    void attachNativeThread(const QString &threadName = QString());
    // Detaches the calling thread; the thread that started the VM is never detached.
    void removeNativeThread();

    // Not owned. Setting a delegate delivers a held configuration error at once.
    void setDelegate(QoJavaBridgeDelegate *delegate);
    QoJavaBridgeDelegate *delegate() const { return delegate_.load(); }
    // Arms the one-shot report of an unexpected Java exception.
    void setReportErrors(bool reportErrors) { reportErrors_ = reportErrors; }
    bool reportErrors() const { return reportErrors_.load(); }
    // The report of the last Java exception of any thread (the Java and native stack traces), as
    // also kept in java_error_console.out in the Documents folder.
    QString lastErrorLog() const;
    // The configuration error held for the delegate, if any.
    QString delayedConfigError() const;

    // The calling thread's record of Java exceptions thrown by calls through the bridge (calls
    // and constructors; not the bridge's own reflection and boxing): how many have been reported
    // on this thread so far, and the toString() of the last one ("java.lang.IllegalStateException:
    // no number"; null while the count is 0). A client that compares the count before and after a
    // call can tell "the Java call threw" from a Java null and turn it into an error value; other
    // threads' exceptions never move this thread's record.
    static quint64 javaExceptionCount();
    static QString lastJavaExceptionMessage();

    // A mirrored class by slash ("nl/dalmerik/vorn/VornRoot") or dotted name; null without VM or
    // environment. Throws QoJavaBridgeException "QoJavaBridgeClassNotFound" after reporting
    // "No Class" to the delegate when Java does not know the class.
    QoJavaClass *classForName(const QString &name);
    // A new object through the class's public no-argument constructor; null without a VM.
    QoJavaObjectPtr instanceOfObject(const QString &className);
    // A proxy of a new java.lang.Integer.
    QoJavaObjectPtr createInteger(int value);
    // A new java.util.Vector from a QVariantList or java.util.Hashtable from a QVariantMap, elements
    // converted as call arguments; null for other values (they cross as native values) or no VM.
    QoJavaObjectPtr objectForValue(const QVariant &value);

    // Calls one of the overloads answering a selector (static when target is null). Used by
    // QoJavaObject::call and QoJavaClass::callStatic.
    QVariant callMethod(const QList<const QoJavaMethod *> &candidates, const QoJavaClass *javaClass,
                        jobject target, const QVariantList &args);
    QoJavaObjectPtr createObject(const QoJavaClass *javaClass, const QoJavaMethod &constructor,
                                 const QVariantList &args);

    // Reports and clears a pending Java exception of the calling thread. True when there was one.
    bool checkForMethodExceptions(const QString &methodName);
    // Logs a configuration error met while resolving an object's class and reports it to the
    // delegate (on the main thread); the caller goes on.
    void throwFinalConfigError(const QString &message);
    // Queues a released proxy's global reference for the de-referencer thread.
    void deallocateObject(jobject reference);

    // Result conversion: a local reference becomes a native value or a proxy; the local
    // reference is deleted.
    QVariant loadObject(jobject localReference, JNIEnv *env);
    static QString loadString(jstring localString, JNIEnv *env);
    static jstring createJString(const QString &string, JNIEnv *env);
    const QoJavaClass *classForObjectReference(jobject object, JNIEnv *env);
    // For the bridge's own calls into Java (reflection, boxing), which should not fail: a pending
    // exception is described and cleared, so that no JNI call runs with one pending. True when
    // there was one.
    static bool clearException(JNIEnv *env);
    // An argument-less object method for those calls; null when Java threw.
    static jobject callInternal(JNIEnv *env, jobject object, jmethodID method);
    // The global class reference by slash name, without mirroring the class; null when Java does
    // not know it (nothing reported).
    jclass findClassReference(const QString &slashName, JNIEnv *env);

    using DereferenceStatistics = JavaDereferencer::Statistics;
    DereferenceStatistics dereferenceStatistics() const;
    // Whether the de-referencer asks Java for a garbage collection after each pass that deleted
    // references (on unless turned off; see JavaDereferencer).
    void setDereferencerRequestsGc(bool requestGc);
    bool dereferencerRequestsGc() const;

private:
    static QoJavaBridge *createShared();
    void reportConfigError(const QString &error, const QString &description);
    const QoJavaMethod *chooseMethod(const QList<const QoJavaMethod *> &candidates,
                                     const QoJavaClass *javaClass, const QVariantList &args, JNIEnv *env);

    QVariantMap infoDictionary_;
    QString bundlePath_;
    JavaVirtualMachineLauncher launcher_;
    JavaDereferencer dereferencer_;
    std::unique_ptr<JavaClassMirror> mirror_;
    std::unique_ptr<JavaExceptionReporter> reporter_;
    std::unique_ptr<JavaValueConverter> converter_;

    std::atomic<QoJavaBridgeDelegate *> delegate_{nullptr};
    std::atomic<bool> reportErrors_{false};
};
