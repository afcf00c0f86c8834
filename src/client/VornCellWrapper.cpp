#include "client/VornCellWrapper.h"
#include "client/JavaCall.h"

#include "bridge/QoJavaObject.h"

namespace VornCellWrapper
{
namespace
{
QoJavaObjectPtr objectOf(const QVariant &cell)
{
    return cell.canConvert<QoJavaObjectPtr>() ? cell.value<QoJavaObjectPtr>() : nullptr;
}
} // namespace

Kind kindOf(const QVariant &cell)
{
    if (cell.metaType() != QMetaType::fromType<QoJavaObjectPtr>())
        return Kind::None;
    const QoJavaObjectPtr object = objectOf(cell);
    if (!object)
        return Kind::None;
    const QString className = object->className();
    if (className == QLatin1String("nl/dalmerik/vorn/CharacterWrapper"))
        return Kind::Character;
    if (className == QLatin1String("nl/dalmerik/vorn/BinaryWrapper"))
        return Kind::Binary;
    return Kind::None;
}

QString stringValue(const QVariant &cell)
{
    if (kindOf(cell) != Kind::Character)
        return QString();
    return JavaCall::send(objectOf(cell), QStringLiteral("stringValue")).toString();
}

bool isNull(const QVariant &cell)
{
    return kindOf(cell) == Kind::Binary && JavaCall::send(objectOf(cell), QStringLiteral("isNull")).toBool();
}
} // namespace VornCellWrapper
