#pragma once

#include <QMetaType>
#include <QString>
#include <QVariant>

#include <jni.h>
#include <memory>

class QoJavaBridge;
class QoJavaClass;
class QoJavaObject;

using QoJavaObjectPtr = std::shared_ptr<QoJavaObject>;

// A proxy of one Java object: owns one JNI global reference, typed by the mirrored class of the
// object's run-time Java class. Java methods are sent as selectors: root->call("executeQuery::", {sql,
// params}). When the last owner lets go, the reference is queued for the bridge's de-referencer
// (no Java call happens on the releasing thread). Travels in QVariant as QoJavaObjectPtr.
class QoJavaObject
{
public:
    // Takes over the global reference.
    static QoJavaObjectPtr objectWithReference(jobject globalReference, const QoJavaClass *javaClass,
                                               QoJavaBridge *bridge);
    QoJavaObject(jobject globalReference, const QoJavaClass *javaClass, QoJavaBridge *bridge);
    QoJavaObject(const QoJavaObject &) = delete;
    QoJavaObject &operator=(const QoJavaObject &) = delete;
    ~QoJavaObject();

    jobject reference() const { return reference_; }
    const QoJavaClass *javaClass() const { return javaClass_; }
    QoJavaBridge *bridge() const { return bridge_; }
    // A weak proxy does not own its reference and queues nothing when it goes away.
    bool weak() const { return weak_; }
    void setWeak(bool weak) { weak_ = weak; }

    // Slash form of the object's class: "java/util/Vector", "nl/dalmerik/vorn/BinaryWrapper".
    QString className() const;

    // Calls an instance method. Results: Java null -> invalid QVariant; String -> QString;
    // Integer, Long, Short, Byte -> integer; Double, Float -> double; Boolean -> bool;
    // Character -> QChar; other objects -> QoJavaObjectPtr. A Java exception is reported through
    // the bridge and gives an invalid QVariant (false/0 for primitive results).
    // Throws QoJavaBridgeException "QoJavaBridgeMethodNotFound" for an unknown selector. Calls
    // nothing (logged) for "<init>", and for a number its int or long parameter cannot hold.
    QVariant call(const QString &selector, const QVariantList &args = {}) const;

    // Java toString().
    QString description() const;
    // Java equals(): two proxies of equal Java objects are equal (identity stays pointer identity).
    bool isEqualTo(const QoJavaObjectPtr &other) const;
    // Whether both proxies stand for the very same Java object; calls no Java method.
    bool isSameObject(const QoJavaObject &other) const;

private:
    jobject reference_;
    const QoJavaClass *javaClass_;
    QoJavaBridge *bridge_;
    bool weak_ = false;
};

Q_DECLARE_METATYPE(QoJavaObjectPtr)
