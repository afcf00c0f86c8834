#include "bridge/JavaUtils.h"

#include "bridge/QoJavaBridge.h"

namespace
{
const QString vectorClassName = QStringLiteral("java/util/Vector");
const QString hashtableClassName = QStringLiteral("java/util/Hashtable");

QString keyText(const QVariant &key)
{
    if (auto proxy = qvariant_cast<QoJavaObjectPtr>(key))
        return proxy->description();
    return key.toString();
}

QoJavaObjectPtr proxyOf(const QVariant &value)
{
    return value.metaType() == QMetaType::fromType<QoJavaObjectPtr>() ? value.value<QoJavaObjectPtr>()
                                                                      : QoJavaObjectPtr();
}

// Visits the hashtable's pairs through its keys enumeration.
template <typename Visit> void forEachPair(const QoJavaObjectPtr &hashtable, Visit visit)
{
    if (!hashtable)
        return;
    const QoJavaObjectPtr keys = proxyOf(hashtable->call(QStringLiteral("keys")));
    while (keys && keys->call(QStringLiteral("hasMoreElements")).toBool()) {
        const QVariant key = keys->call(QStringLiteral("nextElement"));
        visit(key, hashtable->call(QStringLiteral("get:"), {key}));
    }
}
} // namespace

namespace JavaUtils
{

QVariantList arrayFromVector(const QoJavaObjectPtr &vector)
{
    QVariantList elements;
    if (!vector)
        return elements;
    const int size = vector->call(QStringLiteral("size")).toInt();
    elements.reserve(size);
    for (int i = 0; i < size; ++i)
        elements << vector->call(QStringLiteral("get:"), {i});
    return elements;
}

QVariantList setFromVector(const QoJavaObjectPtr &vector)
{
    QVariantList distinct;
    for (const QVariant &element : arrayFromVector(vector)) {
        if (!distinct.contains(element))
            distinct << element;
    }
    return distinct;
}

QoJavaObjectPtr vectorFromArray(const QVariantList &array)
{
    return QoJavaBridge::javaBridge()->objectForValue(array);
}

QVariantMap dictionaryFromHashtable(const QoJavaObjectPtr &hashtable)
{
    QVariantMap dictionary;
    forEachPair(hashtable,
                [&](const QVariant &key, const QVariant &value) { dictionary.insert(keyText(key), value); });
    return dictionary;
}

QoJavaObjectPtr hashtableFromDictionary(const QVariantMap &dictionary)
{
    return QoJavaBridge::javaBridge()->objectForValue(dictionary);
}

QVariant recursiveCollectionsFromJavaObject(const QVariant &object)
{
    const QoJavaObjectPtr proxy = proxyOf(object);
    if (!proxy)
        return object;
    if (proxy->className() == vectorClassName)
        return recursiveCollectionsFromVector(proxy);
    if (proxy->className() == hashtableClassName)
        return recursiveCollectionsFromHashtable(proxy);
    return object;
}

QVariantList recursiveCollectionsFromVector(const QoJavaObjectPtr &vector)
{
    QVariantList elements;
    for (const QVariant &element : arrayFromVector(vector))
        elements << recursiveCollectionsFromJavaObject(element); // nulls keep their place
    return elements;
}

QVariantMap recursiveCollectionsFromHashtable(const QoJavaObjectPtr &hashtable)
{
    QVariantMap dictionary;
    forEachPair(hashtable, [&](const QVariant &key, const QVariant &value) {
        const QVariant converted = recursiveCollectionsFromJavaObject(value);
        if (converted.isValid())
            dictionary.insert(keyText(key), converted);
    });
    return dictionary;
}

} // namespace JavaUtils
