#pragma once

#include "bridge/QoJavaObject.h"

#include <QVariant>

// Conversions between native lists and maps and the backend's java.util.Vector and
// java.util.Hashtable. Elements cross by the bridge's value conversions (String -> QString,
// wrappers -> numbers, other objects -> QoJavaObjectPtr). Java null elements are kept as invalid
// QVariants, so lists keep their positions. Call on a thread that may call Java.
namespace JavaUtils
{
// The elements in index order; empty for a null vector.
QVariantList arrayFromVector(const QoJavaObjectPtr &vector);
// The distinct elements, in first-seen order.
QVariantList setFromVector(const QoJavaObjectPtr &vector);
// A new Vector of the elements in order (nested lists and maps become Vectors and Hashtables);
// null without a VM.
QoJavaObjectPtr vectorFromArray(const QVariantList &array);
// All key and value pairs; keys are strings (non-string keys by their text).
QVariantMap dictionaryFromHashtable(const QoJavaObjectPtr &hashtable);
// A new Hashtable of all pairs; invalid (null) values are left out, as a Hashtable cannot hold
// them. Null without a VM.
QoJavaObjectPtr hashtableFromDictionary(const QVariantMap &dictionary);
// Vectors become QVariantList and Hashtables QVariantMap at every depth (only those exact
// classes); anything else, native values included, comes back unchanged.
QVariant recursiveCollectionsFromJavaObject(const QVariant &object);
QVariantList recursiveCollectionsFromVector(const QoJavaObjectPtr &vector);
QVariantMap recursiveCollectionsFromHashtable(const QoJavaObjectPtr &hashtable);
} // namespace JavaUtils
