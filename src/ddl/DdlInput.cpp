#include "ddl/DdlInput.h"

std::optional<QString> DdlInput::identifier(const QString &text)
{
    const QString name = text.trimmed();
    for (const QChar c : name) {
        const char16_t u = c.unicode();
        const bool allowed =
            (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') || u == '_';
        if (!allowed)
            return std::nullopt;
    }
    return name;
}

std::optional<qlonglong> DdlInput::integer(const QString &text)
{
    bool ok = false;
    const qlonglong value = text.trimmed().toLongLong(&ok);
    return ok ? std::optional<qlonglong>(value) : std::nullopt;
}
