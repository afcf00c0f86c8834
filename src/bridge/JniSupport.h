#pragma once

#include <QString>

#include <jni.h>

// Small JNI helpers shared by the bridge's parts.
namespace Jni
{
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

// The text of a local string reference, which is deleted; null for a null reference.
QString loadString(jstring localString, JNIEnv *env);
jstring createJString(const QString &string, JNIEnv *env);
// For the bridge's own calls into Java, which should not fail: a pending exception is described
// and cleared, so that no JNI call runs with one pending. True when there was one.
bool clearException(JNIEnv *env);
// An argument-less object method for those calls; null when Java threw.
jobject callInternal(JNIEnv *env, jobject object, jmethodID method);
} // namespace Jni
