#include "bridge/JavaDereferencer.h"

#include "bridge/JavaVirtualMachineLauncher.h"
#include "bridge/JniSupport.h"

#include <QString>

#include <chrono>
#include <pthread.h>
#include <thread>

JavaDereferencer::JavaDereferencer(JavaVirtualMachineLauncher &launcher, bool requestGc)
    : launcher_(launcher), requestGc_(requestGc)
{
    pool_.reserve(1000);
}

void JavaDereferencer::start()
{
    std::thread([this] { run(); }).detach();
}

void JavaDereferencer::release(jobject reference)
{
    if (!reference)
        return;
    std::lock_guard lock(poolMutex_);
    pool_.push_back(reference);
    ++statistics_.outstanding;
}

JavaDereferencer::Statistics JavaDereferencer::statistics() const
{
    std::lock_guard lock(poolMutex_);
    return statistics_;
}

void JavaDereferencer::run()
{
    pthread_setname_np(pthread_self(), "JavaBridgeDeRef");
    std::this_thread::sleep_for(std::chrono::seconds(10));
    launcher_.attachNativeThread(QStringLiteral("JavaBridgeDeReferencer"));
    for (;;) {
        std::this_thread::sleep_for(std::chrono::seconds(1));
        pass();
    }
}

void JavaDereferencer::pass()
{
    std::vector<jobject> taken;
    {
        std::lock_guard lock(poolMutex_);
        if (pool_.empty())
            return;
        taken.swap(pool_);
        pool_.reserve(1000);
    }
    JNIEnv *env = JavaVirtualMachineLauncher::currentEnvironment();
    for (jobject reference : taken)
        env->DeleteGlobalRef(reference);
    const bool requestedGc = requestGc_ && collectGarbage(env);
    std::lock_guard lock(poolMutex_);
    ++statistics_.passes;
    statistics_.gcRequests += requestedGc ? 1 : 0;
    statistics_.lastPassDeleted = taken.size();
    statistics_.deletedReferences += taken.size();
    statistics_.outstanding -= taken.size();
}

bool JavaDereferencer::collectGarbage(JNIEnv *env)
{
    if (!gcMethod_) {
        jclass system = env->FindClass("java/lang/System");
        if (Jni::clearException(env) || !system)
            return false;
        gcMethod_ = env->GetStaticMethodID(system, "gc", "()V");
        if (Jni::clearException(env) || !gcMethod_) {
            env->DeleteLocalRef(system);
            return false;
        }
        systemClass_ = static_cast<jclass>(env->NewGlobalRef(system));
        env->DeleteLocalRef(system);
    }
    env->CallStaticVoidMethod(systemClass_, gcMethod_);
    Jni::clearException(env);
    return true;
}
