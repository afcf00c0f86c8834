#pragma once

#include "bridge/QoJavaObject.h"

#include <QString>
#include <QVariant>
#include <QVariantList>

class QoJavaClass;

// The clients' one way into Java. A bridge failure (an unknown selector, a Java exception) does not
// escape: it is logged and recorded in the calling thread's failure slot, and the call answers an
// invalid QVariant, which every typed client reads as its neutral value (false, 0, empty).
namespace JavaCall
{

QVariant send(const QoJavaObjectPtr &target, const QString &selector, const QVariantList &args = {});
QVariant sendStatic(const QoJavaClass *target, const QString &selector, const QVariantList &args = {});
// A null target answers nothing and records no failure: the object is simply not there.
QoJavaObjectPtr object(const QoJavaObjectPtr &target, const QString &selector, const QVariantList &args = {});
// The strings of a java.util.Vector; empty for Java null, and a failure for another object.
QStringList strings(const QVariant &javaVector);

// Records a failure of the calling thread as the bridge's own are recorded: for an answer a client
// cannot read.
void fail(const QString &selector, const QString &message);

// The message of the calling thread's first bridge failure since the last take, and clears it;
// null when there was none. An action that reports an outcome takes it first, so that an older
// failure of the same thread is not reported as its own.
QString takeFailure();
// Whether the calling thread has a bridge failure not yet taken.
bool hasFailure();

} // namespace JavaCall
