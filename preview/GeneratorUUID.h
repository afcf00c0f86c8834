#pragma once

#include "QuickLookGenerator.h"

#include <QByteArray>
#include <QUuid>

#include <cstring>

// UUIDs of the generator interface as the bytes the C interface passes.
namespace GeneratorUUID
{

inline VornUUIDBytes fromString(const char *text)
{
    const QByteArray bytes = QUuid::fromString(QLatin1String(text)).toRfc4122();
    VornUUIDBytes uuid;
    std::memcpy(uuid.bytes, bytes.constData(), sizeof uuid.bytes);
    return uuid;
}

inline bool equals(const VornUUIDBytes &uuid, const char *text)
{
    const VornUUIDBytes other = fromString(text);
    return std::memcmp(uuid.bytes, other.bytes, sizeof uuid.bytes) == 0;
}

} // namespace GeneratorUUID
