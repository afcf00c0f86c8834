#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>
#include <jni.h>
#include <memory>
#include <mutex>
#include <vector>

class QoJavaBridge;
class QoJavaClass;

// The bridge's mirrors of Java classes: found by name or from an object, their public methods and
// constructors read through reflection once and kept for the life of the process. Safe to use
// from any attached thread; a class first needed by two threads at once is mirrored once.
class JavaClassMirror
{
public:
    // Receives "No Class" reports (error, description) for the delegate.
    using ConfigErrorReport = std::function<void(const QString &error, const QString &description)>;

    // The mirrored classes call through the bridge.
    JavaClassMirror(QoJavaBridge *bridge, ConfigErrorReport reportConfigError);
    JavaClassMirror(const JavaClassMirror &) = delete;
    JavaClassMirror &operator=(const JavaClassMirror &) = delete;
    ~JavaClassMirror();

    // A mirrored class by slash or dotted name. Throws QoJavaBridgeException
    // "QoJavaBridgeClassNotFound" after reporting "No Class" when Java does not know the class.
    QoJavaClass *classForName(const QString &name, JNIEnv *env);
    // The global class reference by slash name, without mirroring the class; null when Java does
    // not know it (nothing reported).
    jclass findClassReference(const QString &slashName, JNIEnv *env);
    // The mirror of the object's run-time class; null (after a final config error through the
    // bridge) when it cannot be told.
    const QoJavaClass *classForObjectReference(jobject object, JNIEnv *env);
    // The classes every session needs, mirrored up front.
    void preloadStandardClasses(JNIEnv *env);
    // java/lang/String, once any object's class has been asked for.
    const QoJavaClass *stringClass() const;

private:
    struct Reflection;
    jclass bareClassReference(const QString &slashName, JNIEnv *env);
    QoJavaClass *createCompleteClass(const QString &slashName, JNIEnv *env);
    void prepareReflection(JNIEnv *env);
    void reflectMethods(QoJavaClass &javaClass, JNIEnv *env);
    void reflectConstructors(QoJavaClass &javaClass, JNIEnv *env);
    QStringList classNames(jobjectArray classes, JNIEnv *env);
    QString classNameOf(jobject classObject, JNIEnv *env);
    void ensureStandardClasses(JNIEnv *env);

    QoJavaBridge *bridge_;
    ConfigErrorReport reportConfigError_;
    // Recursive: mirroring a class looks up the classes of its reflection.
    mutable std::recursive_mutex lock_;
    std::vector<std::unique_ptr<QoJavaClass>> classes_;
    QHash<QString, QoJavaClass *> classCache_;
    QHash<QString, QString> classNameCache_;
    QHash<QString, jclass> bareClassReferences_;
    std::unique_ptr<Reflection> reflection_;
    jmethodID classGetNameMethod_ = nullptr;
    jclass stringClass_ = nullptr;
    std::atomic<const QoJavaClass *> stringClassObject_{nullptr};
};
