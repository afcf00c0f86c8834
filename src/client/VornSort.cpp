#include "client/VornSort.h"

#include "bridge/JavaUtils.h"
#include "bridge/QoJavaBridge.h"
#include "client/JavaCall.h"

QList<VornSort> VornSort::fromJavaVector(const QoJavaObjectPtr &vector)
{
    QList<VornSort> sorts;
    for (const QVariant &element : JavaUtils::arrayFromVector(vector)) {
        const QoJavaObjectPtr sort = element.value<QoJavaObjectPtr>();
        if (sort)
            sorts.append({JavaCall::send(sort, QStringLiteral("name")).toString(),
                          JavaCall::send(sort, QStringLiteral("direction")).toString()});
    }
    return sorts;
}

QoJavaObjectPtr VornSort::toJava() const
{
    QoJavaBridge *bridge = QoJavaBridge::javaBridge();
    QoJavaObjectPtr sort =
        bridge ? bridge->instanceOfObject(QStringLiteral("nl/dalmerik/vorn/VornSort")) : nullptr;
    if (sort)
        JavaCall::send(sort, QStringLiteral("initSort::"), {name, direction});
    return sort;
}
