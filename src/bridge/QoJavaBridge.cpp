#include "bridge/QoJavaBridge.h"

#include "bridge/JavaValueConverter.h"
#include "bridge/QoJavaBridgeDelegate.h"
#include "bridge/QoJavaBridgeException.h"
#include "bridge/QoJavaClass.h"
#include "bridge/QoJavaMethod.h"
#include "platform/Bundle.h"
#include "platform/MainThread.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <chrono>
#include <cstdio>
#include <dlfcn.h>
#include <execinfo.h>
#include <fcntl.h>
#include <optional>
#include <pthread.h>
#include <thread>
#include <unistd.h>

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

std::mutex sharedConfigurationMutex;
std::optional<std::pair<QVariantMap, QString>> sharedConfiguration;

// Deletes every local reference made inside its scope: HotSpot sets no limit and would leak.
class LocalFrame
{
public:
    explicit LocalFrame(JNIEnv *env, jint capacity = 32) : env_(env) { env_->PushLocalFrame(capacity); }
    ~LocalFrame() { env_->PopLocalFrame(nullptr); }
    LocalFrame(const LocalFrame &) = delete;
    LocalFrame &operator=(const LocalFrame &) = delete;

private:
    JNIEnv *env_;
};

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

QVariant emptyResult(QoJavaMethod::Kind kind)
{
    switch (kind) {
    case QoJavaMethod::Kind::Boolean:
        return false;
    case QoJavaMethod::Kind::Long:
        return qint64(0);
    case QoJavaMethod::Kind::Int:
    case QoJavaMethod::Kind::Short:
    case QoJavaMethod::Kind::Byte:
        return 0;
    case QoJavaMethod::Kind::Char:
        return QChar();
    case QoJavaMethod::Kind::Float:
    case QoJavaMethod::Kind::Double:
        return 0.0;
    default:
        return {};
    }
}
} // namespace

struct QoJavaBridge::Reflection {
    jmethodID getMethods = nullptr;
    jmethodID getConstructors = nullptr;
    jmethodID methodGetName = nullptr;
    jmethodID methodGetReturnType = nullptr;
    jmethodID methodGetParameterTypes = nullptr;
    jmethodID constructorGetParameterTypes = nullptr;
    jmethodID classGetName = nullptr;
};

// ---- Configuration and start-up -------------------------------------------------------------

QoJavaBridge::Configuration QoJavaBridge::configurationFromInfoDictionary(const QVariantMap &infoDictionary,
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

QoJavaBridge *QoJavaBridge::javaBridge()
{
    static QoJavaBridge *shared = createShared();
    return shared;
}

void QoJavaBridge::setSharedConfiguration(const QVariantMap &infoDictionary, const QString &bundlePath)
{
    std::lock_guard lock(sharedConfigurationMutex);
    sharedConfiguration = std::make_pair(infoDictionary, bundlePath);
}

QoJavaBridge *QoJavaBridge::createShared()
{
    QoJavaBridge *bridge = nullptr;
    {
        std::lock_guard lock(sharedConfigurationMutex);
        if (sharedConfiguration) {
            bridge = new QoJavaBridge(sharedConfiguration->first, sharedConfiguration->second);
        } else {
            const Bundle bundle = Bundle::mainBundle();
            bridge = new QoJavaBridge(bundle.infoDictionary(), bundle.bundlePath());
        }
    }
    if (bridge->startupJavaVirtualMachine())
        bridge->preloadStandardClasses();
    return bridge;
}

void QoJavaBridge::preloadStandardClasses()
{
    for (const char *name : {"java/lang/Class", "java/lang/System", "java/lang/String", "java/lang/Integer",
                             "java/util/Hashtable", "java/util/Vector", "java/lang/Boolean"})
        classForName(QString::fromLatin1(name));
}

QoJavaBridge::QoJavaBridge(QVariantMap infoDictionary, QString bundlePath)
    : infoDictionary_(std::move(infoDictionary)), bundlePath_(std::move(bundlePath)),
      converter_(std::make_unique<JavaValueConverter>(this)), reflection_(std::make_unique<Reflection>())
{
    objectDereferencePool_.reserve(1000);
}

QoJavaBridge::~QoJavaBridge() = default;

bool QoJavaBridge::startupJavaVirtualMachine()
{
    const Configuration configuration = configurationFromInfoDictionary(infoDictionary_, bundlePath_);
    if (!configuration.usable) {
        if (!configuration.warning.isEmpty())
            qWarning().noquote() << configuration.warning;
        if (!configuration.heldError.isEmpty())
            holdConfigError(configuration.heldError);
        return false;
    }
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
    std::thread([this] { runDereferencer(); }).detach();
    attachment.environment = env;
    attachment.startedVirtualMachine = true;
    return true;
}

void *QoJavaBridge::openLibrary(const QString &path, const char *logName, const char *heldError)
{
    void *handle = dlopen(QFile::encodeName(path).constData(), RTLD_NOW | RTLD_GLOBAL);
    if (!handle) {
        qWarning().noquote() << QStringLiteral("dlopens %1 -> %2, error = %3")
                                    .arg(QLatin1String(logName))
                                    .arg(0)
                                    .arg(QString::fromLocal8Bit(dlerror()));
        holdConfigError(QString::fromLatin1(heldError));
    }
    return handle;
}

// ---- Threads ----------------------------------------------------------------------------------

JNIEnv *QoJavaBridge::environment()
{
    if (attachment.environment)
        return attachment.environment;
    if (!virtualMachine_)
        return nullptr;
    qWarning("WARNING QoJavaBridge needed to attach emergency jni thread");
    attachNativeThread();
    return attachment.environment;
}

void QoJavaBridge::attachNativeThread(const QString &threadName)
{
    if (attachment.environment) {
        qInfo("attachNativeThread cancelled allready attached");
        return;
    }
    if (!virtualMachine_) {
        qWarning("Warning: attaching native thread before a virtual machine is available");
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

void QoJavaBridge::removeNativeThread()
{
    if (attachment.startedVirtualMachine) {
        qWarning("Warning trying to delete main thread");
        return;
    }
    if (virtualMachine_ && attachment.environment)
        virtualMachine_->DetachCurrentThread();
    attachment.environment = nullptr;
}

// ---- Delegate and error reports ---------------------------------------------------------------

void QoJavaBridge::setDelegate(QoJavaBridgeDelegate *delegate)
{
    delegate_ = delegate;
    const QString held = delayedConfigError();
    if (delegate && !held.isNull())
        delegate->javaBridgeEncounteredConfigError(this, QStringLiteral("delayConfigError"), held);
}

QString QoJavaBridge::lastErrorLog() const
{
    std::lock_guard lock(lock_);
    return lastErrorLog_;
}

QString QoJavaBridge::delayedConfigError() const
{
    std::lock_guard lock(lock_);
    return delayConfigError_;
}

void QoJavaBridge::holdConfigError(const QString &error)
{
    std::lock_guard lock(lock_);
    delayConfigError_ = error;
}

void QoJavaBridge::reportConfigError(const QString &error, const QString &description)
{
    // The delegate's alert is interface work: it always runs on the main thread.
    auto deliver = [this, error, description] {
        if (QoJavaBridgeDelegate *delegate = delegate_.load())
            delegate->javaBridgeEncounteredConfigError(this, error, description);
    };
    if (MainThread::isMainThread())
        deliver();
    else
        MainThread::post(deliver);
}

void QoJavaBridge::throwFinalConfigError(const QString &message)
{
    const QString rule = QStringLiteral("===================================================");
    qWarning().noquote() << "=========== Vorn Internal Exception ============== ";
    qWarning().noquote() << rule;
    qWarning().noquote() << rule;
    qWarning().noquote() << QStringLiteral("    %1").arg(message);
    qWarning().noquote() << rule;
    reportConfigError(message, message);
}

bool QoJavaBridge::checkForMethodExceptions(const QString &methodName)
{
    JNIEnv *env = attachment.environment;
    if (!env || !env->ExceptionCheck())
        return false;
    {
        std::lock_guard lock(lock_);
        const bool captured = createTempConsoleLog();
        writeExceptionReport(methodName, env);
        lastErrorLog_ = captured ? closeAndReturnTempConsoleLog() : QString();
    }
    if (delegate_.load() && reportErrors_.exchange(false)) {
        MainThread::post([this] {
            if (QoJavaBridgeDelegate *delegate = delegate_.load())
                delegate->javaBridgeEncounteredUnexpectedError(this);
        });
    }
    return true;
}

void QoJavaBridge::writeExceptionReport(const QString &methodName, JNIEnv *env)
{
    std::fprintf(stderr,
                 "=========== Vorn Method Exception ============== \n"
                 "================================================\n"
                 "    After calling: %s\n"
                 "------------------------------------------------\n"
                 "\n"
                 " \n\nJava Trace\n\n \n",
                 methodName.toUtf8().constData());
    std::fflush(stderr);
    // Describing clears the exception; it is not raised again: nothing would read it.
    env->ExceptionDescribe();
    env->ExceptionClear();
    std::fprintf(stderr, "\n\nNative call stack:\n\n");
    std::fflush(stderr);
    void *frames[64];
    backtrace_symbols_fd(frames, backtrace(frames, 64), STDERR_FILENO);
    std::fprintf(stderr, "\n\n===================================================\n");
    std::fflush(stderr);
}

bool QoJavaBridge::createTempConsoleLog()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    QDir().mkpath(folder);
    consoleLogPath_ = folder + QStringLiteral("/java_error_console.out");
    QFile::remove(consoleLogPath_);
    std::fflush(stdout);
    std::fflush(stderr);
    const int fd = ::open(QFile::encodeName(consoleLogPath_).constData(),
                          O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    storeConsoleOut_ = ::dup(STDOUT_FILENO);
    storeConsoleErr_ = ::dup(STDERR_FILENO);
    ::dup2(fd, STDOUT_FILENO);
    ::dup2(fd, STDERR_FILENO);
    ::close(fd);
    return true;
}

QString QoJavaBridge::closeAndReturnTempConsoleLog()
{
    std::fflush(stdout);
    std::fflush(stderr);
    ::dup2(storeConsoleOut_, STDOUT_FILENO);
    ::dup2(storeConsoleErr_, STDERR_FILENO);
    ::close(storeConsoleOut_);
    ::close(storeConsoleErr_);
    storeConsoleOut_ = storeConsoleErr_ = -1;
    QFile file(consoleLogPath_);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(file.readAll());
}

// ---- De-referencer ----------------------------------------------------------------------------

void QoJavaBridge::deallocateObject(jobject reference)
{
    if (!reference)
        return;
    std::lock_guard lock(poolMutex_);
    objectDereferencePool_.push_back(reference);
    ++dereferenceStatistics_.outstanding;
}

QoJavaBridge::DereferenceStatistics QoJavaBridge::dereferenceStatistics() const
{
    std::lock_guard lock(poolMutex_);
    return dereferenceStatistics_;
}

void QoJavaBridge::runDereferencer()
{
    pthread_setname_np(pthread_self(), "JavaBridgeDeRef");
    // The first pass waits so that start-up is not slowed.
    std::this_thread::sleep_for(std::chrono::seconds(10));
    attachNativeThread(QStringLiteral("JavaBridgeDeReferencer"));
    for (;;) {
        std::this_thread::sleep_for(std::chrono::seconds(1));
        try {
            dereferencePass();
        } catch (const QoJavaBridgeException &exception) {
            qWarning().noquote() << "JavaBridgeDeReferencer:" << exception.what();
        }
    }
}

void QoJavaBridge::dereferencePass()
{
    std::vector<jobject> taken;
    {
        std::lock_guard lock(poolMutex_);
        if (objectDereferencePool_.empty())
            return;
        taken.swap(objectDereferencePool_);
        objectDereferencePool_.reserve(1000);
    }
    JNIEnv *env = attachment.environment;
    for (jobject reference : taken)
        env->DeleteGlobalRef(reference);
    bool requestedGc = false;
    if (QoJavaClass *system = classForName(QStringLiteral("java/lang/System"), env)) {
        system->callStatic(QStringLiteral("gc"));
        requestedGc = true;
    }
    std::lock_guard lock(poolMutex_);
    DereferenceStatistics &statistics = dereferenceStatistics_;
    ++statistics.passes;
    statistics.gcRequests += requestedGc ? 1 : 0;
    statistics.lastPassDeleted = taken.size();
    statistics.deletedReferences += taken.size();
    statistics.outstanding -= taken.size();
}

// ---- Classes ----------------------------------------------------------------------------------

QoJavaClass *QoJavaBridge::classForName(const QString &name)
{
    return classForName(name, environment());
}

QoJavaClass *QoJavaBridge::classForName(const QString &name, JNIEnv *env)
{
    if (!env)
        return nullptr;
    std::lock_guard lock(lock_);
    if (QoJavaClass *known = classCache_.value(name))
        return known;
    QString slashName = classNameCache_.value(name);
    if (slashName.isEmpty()) {
        slashName = QString(name).replace(QLatin1Char('.'), QLatin1Char('/'));
        classNameCache_.insert(name, slashName);
    }
    if (QoJavaClass *known = classCache_.value(slashName))
        return known;
    QoJavaClass *javaClass = createCompleteClass(slashName, env);
    classCache_.insert(slashName, javaClass);
    classCache_.insert(name, javaClass);
    return javaClass;
}

jclass QoJavaBridge::findClassReference(const QString &slashName, JNIEnv *env)
{
    std::lock_guard lock(lock_);
    if (jclass known = bareClassReferences_.value(slashName))
        return known;
    jclass local = env->FindClass(slashName.toUtf8().constData());
    if (!local) {
        env->ExceptionClear();
        return nullptr;
    }
    auto global = static_cast<jclass>(env->NewGlobalRef(local));
    env->DeleteLocalRef(local);
    bareClassReferences_.insert(slashName, global);
    return global;
}

jclass QoJavaBridge::bareClassReference(const QString &slashName, JNIEnv *env)
{
    if (jclass reference = findClassReference(slashName, env))
        return reference;
    reportConfigError(QStringLiteral("No Class"),
                      QStringLiteral("Class '%1' couldn't be found.").arg(slashName));
    throw QoJavaBridgeException(QStringLiteral("QoJavaBridgeClassNotFound"),
                                QStringLiteral("Class '%1' couldn't be found").arg(slashName));
}

QoJavaClass *QoJavaBridge::createCompleteClass(const QString &slashName, JNIEnv *env)
{
    jclass reference = bareClassReference(slashName, env);
    Reflection &r = *reflection_;
    if (!r.getMethods) {
        jclass classClass = bareClassReference(QStringLiteral("java/lang/Class"), env);
        jclass methodClass = bareClassReference(QStringLiteral("java/lang/reflect/Method"), env);
        jclass constructorClass = bareClassReference(QStringLiteral("java/lang/reflect/Constructor"), env);
        r.getMethods = env->GetMethodID(classClass, "getMethods", "()[Ljava/lang/reflect/Method;");
        r.getConstructors =
            env->GetMethodID(classClass, "getConstructors", "()[Ljava/lang/reflect/Constructor;");
        r.classGetName = env->GetMethodID(classClass, "getName", "()Ljava/lang/String;");
        r.methodGetName = env->GetMethodID(methodClass, "getName", "()Ljava/lang/String;");
        r.methodGetReturnType = env->GetMethodID(methodClass, "getReturnType", "()Ljava/lang/Class;");
        r.methodGetParameterTypes =
            env->GetMethodID(methodClass, "getParameterTypes", "()[Ljava/lang/Class;");
        r.constructorGetParameterTypes =
            env->GetMethodID(constructorClass, "getParameterTypes", "()[Ljava/lang/Class;");
    }
    classes_.push_back(std::make_unique<QoJavaClass>(reference, slashName, this));
    QoJavaClass &javaClass = *classes_.back();
    reflectMethods(javaClass, env);
    reflectConstructors(javaClass, env);
    return &javaClass;
}

void QoJavaBridge::reflectMethods(QoJavaClass &javaClass, JNIEnv *env)
{
    const Reflection &r = *reflection_;
    LocalFrame frame(env);
    auto methods = static_cast<jobjectArray>(callInternal(env, javaClass.reference(), r.getMethods));
    if (!methods)
        return;
    const jsize count = env->GetArrayLength(methods);
    for (jsize i = 0; i < count; ++i) {
        LocalFrame methodFrame(env, 16);
        jobject method = env->GetObjectArrayElement(methods, i);
        const QString name =
            loadString(static_cast<jstring>(callInternal(env, method, r.methodGetName)), env);
        const QString returnType = classNameOf(callInternal(env, method, r.methodGetReturnType), env);
        const QStringList parameterTypes =
            classNames(static_cast<jobjectArray>(callInternal(env, method, r.methodGetParameterTypes)), env);
        const QString signature = QoJavaMethod::methodSignature(returnType, parameterTypes);
        const QByteArray utf8Name = name.toUtf8(), utf8Signature = signature.toUtf8();
        bool isStatic = false;
        jmethodID id =
            env->GetMethodID(javaClass.reference(), utf8Name.constData(), utf8Signature.constData());
        if (!id) {
            env->ExceptionClear();
            id = env->GetStaticMethodID(javaClass.reference(), utf8Name.constData(),
                                        utf8Signature.constData());
            isStatic = true;
        }
        if (!id) {
            qWarning().noquote()
                << QStringLiteral("Declared method could not be found %1 %2").arg(name, signature);
            env->ExceptionClear();
            continue;
        }
        auto reflected = std::make_unique<QoJavaMethod>(id, name, signature, returnType, parameterTypes);
        if (isStatic)
            javaClass.addStaticMethod(std::move(reflected));
        else
            javaClass.addMethod(std::move(reflected));
    }
}

void QoJavaBridge::reflectConstructors(QoJavaClass &javaClass, JNIEnv *env)
{
    const Reflection &r = *reflection_;
    LocalFrame frame(env);
    auto constructors =
        static_cast<jobjectArray>(callInternal(env, javaClass.reference(), r.getConstructors));
    if (!constructors)
        return;
    const jsize count = env->GetArrayLength(constructors);
    for (jsize i = 0; i < count; ++i) {
        LocalFrame constructorFrame(env, 16);
        jobject constructor = env->GetObjectArrayElement(constructors, i);
        const QStringList parameterTypes = classNames(
            static_cast<jobjectArray>(callInternal(env, constructor, r.constructorGetParameterTypes)), env);
        const QString signature = QoJavaMethod::methodSignature(QStringLiteral("void"), parameterTypes);
        jmethodID id = env->GetMethodID(javaClass.reference(), "<init>", signature.toUtf8().constData());
        if (!id) {
            env->ExceptionClear();
            continue;
        }
        javaClass.addMethod(std::make_unique<QoJavaMethod>(id, QStringLiteral("<init>"), signature,
                                                           QStringLiteral("void"), parameterTypes));
    }
}

QStringList QoJavaBridge::classNames(jobjectArray classes, JNIEnv *env)
{
    QStringList names;
    if (!classes)
        return names;
    const jsize count = env->GetArrayLength(classes);
    for (jsize i = 0; i < count; ++i)
        names << classNameOf(env->GetObjectArrayElement(classes, i), env);
    env->DeleteLocalRef(classes);
    return names;
}

QString QoJavaBridge::classNameOf(jobject classObject, JNIEnv *env)
{
    if (!classObject)
        return QString();
    const QString name =
        loadString(static_cast<jstring>(callInternal(env, classObject, reflection_->classGetName)), env);
    env->DeleteLocalRef(classObject);
    return name;
}

void QoJavaBridge::ensureStandardClasses(JNIEnv *env)
{
    if (stringClassObject_)
        return;
    QoJavaClass *classClass = classForName(QStringLiteral("java/lang/Class"), env);
    classClass_ = classClass->reference();
    classGetNameMethod_ = classClass->methodsForSelector(QStringLiteral("getName")).constFirst()->methodId();
    stringClassObject_ = classForName(QStringLiteral("java/lang/String"), env);
    stringClass_ = stringClassObject_->reference();
}

const QoJavaClass *QoJavaBridge::classForObjectReference(jobject object, JNIEnv *env)
{
    if (!object)
        return nullptr;
    if (!env) {
        throwFinalConfigError(QStringLiteral("_environment nil in classForObjectReference"));
        return nullptr;
    }
    std::lock_guard lock(lock_);
    ensureStandardClasses(env);
    if (env->IsInstanceOf(object, stringClass_))
        return stringClassObject_;
    jclass objectClass = env->GetObjectClass(object);
    if (clearException(env))
        return nullptr;
    if (!objectClass) {
        throwFinalConfigError(QStringLiteral("class not found in classForObjectReference"));
        return nullptr;
    }
    auto javaName = static_cast<jstring>(callInternal(env, objectClass, classGetNameMethod_));
    if (!javaName) {
        env->DeleteLocalRef(objectClass);
        throwFinalConfigError(QStringLiteral("_classGetNameMethod returned 0 in classForObjectReference"));
        return nullptr;
    }
    const QString name = loadString(javaName, env);
    if (name.isNull()) {
        env->DeleteLocalRef(objectClass);
        throwFinalConfigError(QStringLiteral("className is nil in classForObjectReference"));
        return nullptr;
    }
    // The object's own class object serves as the class reference: a lookup by name would miss
    // classes that no loader finds by name (lambdas and other hidden classes).
    const QString slashName = QString(name).replace(QLatin1Char('.'), QLatin1Char('/'));
    if (!bareClassReferences_.contains(slashName))
        bareClassReferences_.insert(slashName, static_cast<jclass>(env->NewGlobalRef(objectClass)));
    env->DeleteLocalRef(objectClass);
    return classForName(name, env);
}

// ---- Objects and calls ------------------------------------------------------------------------

QoJavaObjectPtr QoJavaBridge::instanceOfObject(const QString &className)
{
    QoJavaClass *javaClass = classForName(className);
    return javaClass ? javaClass->newObject() : nullptr;
}

QoJavaObjectPtr QoJavaBridge::createInteger(int value)
{
    QoJavaClass *integerClass = classForName(QStringLiteral("java/lang/Integer"));
    return integerClass ? integerClass->newObject(QStringLiteral("(I)V"), {value}) : nullptr;
}

QoJavaObjectPtr QoJavaBridge::objectForValue(const QVariant &value)
{
    JNIEnv *env = environment();
    if (!env || !value.isValid())
        return nullptr;
    LocalFrame frame(env);
    jobject local = converter_->objectArgument(env, QStringLiteral("java.lang.Object"), value);
    return qvariant_cast<QoJavaObjectPtr>(loadObject(local, env));
}

QoJavaObjectPtr QoJavaBridge::createObject(const QoJavaClass *javaClass, const QoJavaMethod &constructor,
                                           const QVariantList &args)
{
    JNIEnv *env = environment();
    if (!env || !chooseMethod({&constructor}, javaClass, args, env))
        return nullptr;
    LocalFrame frame(env);
    const std::vector<jvalue> values = converter_->arguments(env, constructor, args);
    jobject local = env->NewObjectA(javaClass->reference(), constructor.methodId(), values.data());
    // A constructor that throws is reported like any failed call.
    if (checkForMethodExceptions(constructor.name()) || !local)
        return nullptr;
    return QoJavaObject::objectWithReference(env->NewGlobalRef(local), javaClass, this);
}

QVariant QoJavaBridge::callMethod(const QList<const QoJavaMethod *> &candidates, const QoJavaClass *javaClass,
                                  jobject target, const QVariantList &args)
{
    JNIEnv *env = environment();
    if (!env)
        return {};
    const QoJavaMethod *method = chooseMethod(candidates, javaClass, args, env);
    if (!method)
        return {};
    LocalFrame frame(env);
    const std::vector<jvalue> values = converter_->arguments(env, *method, args);
    const jvalue *v = values.data();
    const jmethodID id = method->methodId();
    jclass cls = javaClass->reference();
    jvalue result{};
    using Kind = QoJavaMethod::Kind;
    switch (method->kind()) {
    case Kind::Void:
        target ? env->CallVoidMethodA(target, id, v) : env->CallStaticVoidMethodA(cls, id, v);
        break;
    case Kind::Boolean:
        result.z =
            target ? env->CallBooleanMethodA(target, id, v) : env->CallStaticBooleanMethodA(cls, id, v);
        break;
    case Kind::Long:
        result.j = target ? env->CallLongMethodA(target, id, v) : env->CallStaticLongMethodA(cls, id, v);
        break;
    case Kind::Int:
        result.i = target ? env->CallIntMethodA(target, id, v) : env->CallStaticIntMethodA(cls, id, v);
        break;
    case Kind::Char:
        result.c = target ? env->CallCharMethodA(target, id, v) : env->CallStaticCharMethodA(cls, id, v);
        break;
    case Kind::Byte:
        result.b = target ? env->CallByteMethodA(target, id, v) : env->CallStaticByteMethodA(cls, id, v);
        break;
    case Kind::Short:
        result.s = target ? env->CallShortMethodA(target, id, v) : env->CallStaticShortMethodA(cls, id, v);
        break;
    case Kind::Float:
        result.f = target ? env->CallFloatMethodA(target, id, v) : env->CallStaticFloatMethodA(cls, id, v);
        break;
    case Kind::Double:
        result.d = target ? env->CallDoubleMethodA(target, id, v) : env->CallStaticDoubleMethodA(cls, id, v);
        break;
    case Kind::Object:
        result.l = target ? env->CallObjectMethodA(target, id, v) : env->CallStaticObjectMethodA(cls, id, v);
        break;
    case Kind::Unsupported:
        return {};
    }
    if (checkForMethodExceptions(method->name()))
        return emptyResult(method->kind());
    if (method->kind() == Kind::Object)
        return loadObject(result.l, env);
    return JavaValueConverter::primitiveResult(method->kind(), result);
}

const QoJavaMethod *QoJavaBridge::chooseMethod(const QList<const QoJavaMethod *> &candidates,
                                               const QoJavaClass *javaClass, const QVariantList &args,
                                               JNIEnv *env)
{
    const QoJavaMethod *first = candidates.constFirst();
    if (args.size() != first->parameterCount()) {
        qWarning().noquote() << QStringLiteral("%1 of %2 takes %3 arguments, %4 given: not called")
                                    .arg(first->selectorName(), javaClass->name())
                                    .arg(first->parameterCount())
                                    .arg(args.size());
        return nullptr;
    }
    if (candidates.size() == 1)
        return first;
    // Overloads of one name and arity: take the one the argument kinds fit best.
    const QoJavaMethod *best = nullptr;
    int bestFit = 0;
    bool tied = false;
    for (const QoJavaMethod *candidate : candidates) {
        const int fit = converter_->fit(env, *candidate, args);
        if (fit > bestFit) {
            best = candidate;
            bestFit = fit;
            tied = false;
        } else if (fit == bestFit && fit > 0) {
            tied = true;
        }
    }
    if (!best || tied) {
        QStringList signatures;
        for (const QoJavaMethod *candidate : candidates)
            signatures << candidate->signature();
        qWarning().noquote() << QStringLiteral("%1 of %2: the arguments do not tell the overloads %3 apart: "
                                               "not called")
                                    .arg(first->selectorName(), javaClass->name(), signatures.join(", "));
        return nullptr;
    }
    return best;
}

// ---- Conversions ------------------------------------------------------------------------------

QVariant QoJavaBridge::loadObject(jobject localReference, JNIEnv *env)
{
    if (!localReference || !env)
        return {};
    const QoJavaClass *javaClass = classForObjectReference(localReference, env);
    if (!javaClass) {
        env->DeleteLocalRef(localReference);
        return {};
    }
    if (javaClass == stringClassObject_)
        return loadString(static_cast<jstring>(localReference), env);
    if (QVariant value = converter_->unboxed(env, *javaClass, localReference); value.isValid()) {
        env->DeleteLocalRef(localReference);
        return value;
    }
    jobject global = env->NewGlobalRef(localReference);
    env->DeleteLocalRef(localReference);
    return QVariant::fromValue(QoJavaObject::objectWithReference(global, javaClass, this));
}

bool QoJavaBridge::clearException(JNIEnv *env)
{
    if (!env->ExceptionCheck())
        return false;
    env->ExceptionDescribe();
    env->ExceptionClear();
    return true;
}

jobject QoJavaBridge::callInternal(JNIEnv *env, jobject object, jmethodID method)
{
    jobject result = env->CallObjectMethod(object, method);
    return clearException(env) ? nullptr : result;
}

QString QoJavaBridge::loadString(jstring localString, JNIEnv *env)
{
    if (!localString)
        return QString();
    const jsize length = env->GetStringLength(localString);
    QString string(length, Qt::Uninitialized);
    env->GetStringRegion(localString, 0, length, reinterpret_cast<jchar *>(string.data()));
    env->DeleteLocalRef(localString);
    return string;
}

jstring QoJavaBridge::createJString(const QString &string, JNIEnv *env)
{
    return env->NewString(reinterpret_cast<const jchar *>(string.utf16()), jsize(string.size()));
}
