#pragma once

#include <QString>

#include <jni.h>
#include <memory>
#include <mutex>

// Turns the Java exception a call left pending into the report users see: the Java stack trace,
// rendered in Java into a string, and the native call stack, framed by the "Vorn Method Exception"
// block. The report goes to standard error in one write and to java_error_console.out in the
// Documents folder, and stays as the last report. Nothing else of the process's output is touched:
// other threads writing meanwhile keep their output to themselves.
class JavaExceptionReporter
{
public:
    JavaExceptionReporter();
    JavaExceptionReporter(const JavaExceptionReporter &) = delete;
    JavaExceptionReporter &operator=(const JavaExceptionReporter &) = delete;
    ~JavaExceptionReporter();

    // Reports and clears the calling thread's pending exception, after a call of methodName.
    // False when none was pending.
    bool reportPendingException(JNIEnv *env, const QString &methodName);
    // The last report of any thread; empty before the first.
    QString lastReport() const;

    // The calling thread's record: how many exceptions it has had reported, and the toString() of
    // the last one (null before the first).
    static quint64 threadExceptionCount();
    static QString threadLastExceptionMessage();

private:
    struct JavaMethods;
    struct Description {
        QString message;
        QString trace;
    };
    Description describe(JNIEnv *env, jthrowable throwable);
    const JavaMethods *javaMethods(JNIEnv *env);
    void keep(const QString &report);

    mutable std::mutex mutex_;
    std::unique_ptr<JavaMethods> methods_;
    bool methodsTried_ = false;
    QString lastReport_;
};
