#include "client/JavaCall.h"

#include "bridge/JavaUtils.h"
#include "bridge/QoJavaBridge.h"
#include "bridge/QoJavaBridgeException.h"
#include "bridge/QoJavaClass.h"
#include "client/ClientLog.h"

namespace
{

thread_local QString failure;

void record(const QString &selector, const QString &message)
{
    qCWarning(lcClient).noquote() << selector << "failed in the bridge:" << message;
    if (failure.isNull())
        failure = message.isNull() ? QStringLiteral("") : message;
}

// A Java exception is reported by the bridge and answers a neutral value; the thread's exception
// count tells it apart from a real answer.
template <typename Call> QVariant guarded(const QString &selector, Call call)
{
    const quint64 exceptionsBefore = QoJavaBridge::javaExceptionCount();
    try {
        QVariant answer = call();
        if (QoJavaBridge::javaExceptionCount() == exceptionsBefore)
            return answer;
        record(selector, QoJavaBridge::lastJavaExceptionMessage());
        return {};
    } catch (const QoJavaBridgeException &exception) {
        record(selector, exception.reason());
        return {};
    }
}

} // namespace

QVariant JavaCall::send(const QoJavaObjectPtr &target, const QString &selector, const QVariantList &args)
{
    if (!target)
        return {};
    return guarded(selector, [&] { return target->call(selector, args); });
}

QVariant JavaCall::sendStatic(const QoJavaClass *target, const QString &selector, const QVariantList &args)
{
    if (!target)
        return {};
    return guarded(selector, [&] { return target->callStatic(selector, args); });
}

QoJavaObjectPtr JavaCall::object(const QoJavaObjectPtr &target, const QString &selector,
                                 const QVariantList &args)
{
    return send(target, selector, args).value<QoJavaObjectPtr>();
}

QStringList JavaCall::strings(const QVariant &javaVector)
{
    // Reading the vector calls Java too: an object that is no vector must not throw past the client.
    const QVariant elements = guarded(QStringLiteral("strings"), [&] {
        return QVariant(JavaUtils::arrayFromVector(javaVector.value<QoJavaObjectPtr>()));
    });
    QStringList strings;
    for (const QVariant &element : elements.toList())
        strings.append(element.toString());
    return strings;
}

void JavaCall::fail(const QString &selector, const QString &message)
{
    record(selector, message);
}

bool JavaCall::hasFailure()
{
    return !failure.isNull();
}

QString JavaCall::takeFailure()
{
    QString taken;
    taken.swap(failure);
    return taken;
}
