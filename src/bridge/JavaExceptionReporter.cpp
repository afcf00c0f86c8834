#include "bridge/JavaExceptionReporter.h"

#include "bridge/BridgeLog.h"
#include "bridge/JniSupport.h"

#include <QDir>
#include <QSaveFile>
#include <QStandardPaths>

#include <cerrno>
#include <cstdlib>
#include <execinfo.h>
#include <unistd.h>

namespace
{
struct ThreadRecord {
    quint64 count = 0;
    QString lastMessage;
};
thread_local ThreadRecord threadRecord;

// True (and cleared) when the last JNI call threw: the rendering itself must not leave one pending.
bool threw(JNIEnv *env)
{
    if (!env->ExceptionCheck())
        return false;
    env->ExceptionClear();
    return true;
}

// A method's String result; null when it threw.
QString callString(JNIEnv *env, jobject object, jmethodID method)
{
    auto text = static_cast<jstring>(env->CallObjectMethod(object, method));
    return threw(env) ? QString() : Jni::loadString(text, env);
}

QString nativeCallStack()
{
    void *frames[64];
    const int count = backtrace(frames, 64);
    char **symbols = backtrace_symbols(frames, count);
    if (!symbols)
        return QString();
    QString stack;
    for (int i = 0; i < count; ++i)
        stack += QString::fromLocal8Bit(symbols[i]) + QLatin1Char('\n');
    std::free(symbols);
    return stack;
}

QString reportText(const QString &methodName, const QString &javaTrace, const QString &nativeStack)
{
    return QStringLiteral("=========== Vorn Method Exception ============== \n"
                          "================================================\n"
                          "    After calling: ") +
           methodName +
           QStringLiteral("\n------------------------------------------------\n"
                          "\n"
                          " \n\nJava Trace\n\n \n") +
           javaTrace + QStringLiteral("\n\nNative call stack:\n\n") + nativeStack +
           QStringLiteral("\n\n===================================================\n");
}

// One write, so that the report is not torn by other threads' output.
void writeToStandardError(const QByteArray &text)
{
    const char *data = text.constData();
    qsizetype left = text.size();
    while (left > 0) {
        const ssize_t written = ::write(STDERR_FILENO, data, size_t(left));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return;
        data += written;
        left -= written;
    }
}
} // namespace

struct JavaExceptionReporter::JavaMethods {
    jclass stringWriter = nullptr;
    jclass printWriter = nullptr;
    jclass thread = nullptr;
    jmethodID stringWriterInit = nullptr;
    jmethodID printWriterInit = nullptr;
    jmethodID printStackTrace = nullptr;
    jmethodID toString = nullptr;
    jmethodID currentThread = nullptr;
    jmethodID threadGetName = nullptr;
};

JavaExceptionReporter::JavaExceptionReporter() = default;

JavaExceptionReporter::~JavaExceptionReporter() = default;

bool JavaExceptionReporter::reportPendingException(JNIEnv *env, const QString &methodName)
{
    if (!env->ExceptionCheck())
        return false;
    // Taken and cleared first: describing it runs Java, which needs no exception pending.
    jthrowable throwable = env->ExceptionOccurred();
    env->ExceptionClear();
    const Description java = describe(env, throwable);
    env->DeleteLocalRef(throwable);
    ++threadRecord.count;
    threadRecord.lastMessage = java.message.isNull() ? QStringLiteral("") : java.message;

    const QString report = reportText(methodName, java.trace, nativeCallStack());
    writeToStandardError(report.toUtf8());
    keep(report);
    return true;
}

JavaExceptionReporter::Description JavaExceptionReporter::describe(JNIEnv *env, jthrowable throwable)
{
    Description description;
    const JavaMethods *m = javaMethods(env);
    if (!m) {
        description.trace = QStringLiteral("(the Java exception could not be described)\n");
        return description;
    }
    Jni::LocalFrame frame(env);
    description.message = callString(env, throwable, m->toString);
    // As the VM describes an uncaught exception: the thread, then Throwable.printStackTrace().
    jobject thread = env->CallStaticObjectMethod(m->thread, m->currentThread);
    const QString threadName = threw(env) || !thread ? QString() : callString(env, thread, m->threadGetName);
    QString trace;
    jobject writer = env->NewObject(m->stringWriter, m->stringWriterInit);
    jobject printer =
        threw(env) || !writer ? nullptr : env->NewObject(m->printWriter, m->printWriterInit, writer);
    if (!threw(env) && printer) {
        env->CallVoidMethod(throwable, m->printStackTrace, printer);
        if (!threw(env))
            trace = callString(env, writer, m->toString);
    }
    if (trace.isEmpty())
        trace = (description.message.isNull() ? QStringLiteral("(the Java exception could not be described)")
                                              : description.message) +
                QLatin1Char('\n');
    description.trace = QStringLiteral("Exception in thread \"%1\" ").arg(threadName) + trace;
    return description;
}

const JavaExceptionReporter::JavaMethods *JavaExceptionReporter::javaMethods(JNIEnv *env)
{
    std::lock_guard lock(mutex_);
    if (methodsTried_)
        return methods_.get();
    methodsTried_ = true;
    Jni::LocalFrame frame(env);
    auto find = [env](const char *name) {
        jclass found = env->FindClass(name);
        return threw(env) ? nullptr : found;
    };
    jclass object = find("java/lang/Object"), throwable = find("java/lang/Throwable"),
           stringWriter = find("java/io/StringWriter"), printWriter = find("java/io/PrintWriter"),
           thread = find("java/lang/Thread");
    if (!object || !throwable || !stringWriter || !printWriter || !thread) {
        qCWarning(lcBridge, "The Java classes that describe exceptions are missing");
        return nullptr;
    }
    auto method = [env](jclass owner, const char *name, const char *signature) {
        jmethodID id = env->GetMethodID(owner, name, signature);
        return threw(env) ? nullptr : id;
    };
    auto m = std::make_unique<JavaMethods>();
    m->stringWriterInit = method(stringWriter, "<init>", "()V");
    m->printWriterInit = method(printWriter, "<init>", "(Ljava/io/Writer;)V");
    m->printStackTrace = method(throwable, "printStackTrace", "(Ljava/io/PrintWriter;)V");
    m->toString = method(object, "toString", "()Ljava/lang/String;");
    m->threadGetName = method(thread, "getName", "()Ljava/lang/String;");
    m->currentThread = env->GetStaticMethodID(thread, "currentThread", "()Ljava/lang/Thread;");
    if (threw(env) || !m->stringWriterInit || !m->printWriterInit || !m->printStackTrace || !m->toString ||
        !m->threadGetName || !m->currentThread) {
        qCWarning(lcBridge, "The Java methods that describe exceptions are missing");
        return nullptr;
    }
    m->stringWriter = static_cast<jclass>(env->NewGlobalRef(stringWriter));
    m->printWriter = static_cast<jclass>(env->NewGlobalRef(printWriter));
    m->thread = static_cast<jclass>(env->NewGlobalRef(thread));
    methods_ = std::move(m);
    return methods_.get();
}

void JavaExceptionReporter::keep(const QString &report)
{
    std::lock_guard lock(mutex_);
    lastReport_ = report;
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    QDir().mkpath(folder);
    QSaveFile file(folder + QStringLiteral("/java_error_console.out"));
    if (!file.open(QIODevice::WriteOnly) || file.write(report.toUtf8()) < 0 || !file.commit())
        qCWarning(lcBridge).noquote()
            << "Could not write the Java exception report to" << file.fileName() << ":" << file.errorString();
}

QString JavaExceptionReporter::lastReport() const
{
    std::lock_guard lock(mutex_);
    return lastReport_;
}

quint64 JavaExceptionReporter::threadExceptionCount()
{
    return threadRecord.count;
}

QString JavaExceptionReporter::threadLastExceptionMessage()
{
    return threadRecord.lastMessage;
}
