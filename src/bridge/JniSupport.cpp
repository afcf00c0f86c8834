#include "bridge/JniSupport.h"

namespace Jni
{

QString loadString(jstring localString, JNIEnv *env)
{
    if (!localString)
        return QString();
    const jsize length = env->GetStringLength(localString);
    QString string(length, Qt::Uninitialized);
    env->GetStringRegion(localString, 0, length, reinterpret_cast<jchar *>(string.data()));
    env->DeleteLocalRef(localString);
    return string;
}

jstring createJString(const QString &string, JNIEnv *env)
{
    return env->NewString(reinterpret_cast<const jchar *>(string.utf16()), jsize(string.size()));
}

bool clearException(JNIEnv *env)
{
    if (!env->ExceptionCheck())
        return false;
    env->ExceptionDescribe();
    env->ExceptionClear();
    return true;
}

jobject callInternal(JNIEnv *env, jobject object, jmethodID method)
{
    jobject result = env->CallObjectMethod(object, method);
    return clearException(env) ? nullptr : result;
}

} // namespace Jni
