#pragma once

#include <QString>

// Vorn's one web site, and the support page and mailbox that belong to it.
namespace Website
{

inline const QString home = QStringLiteral("https://vorn.dalmerik.nl");
inline const QString support = home + QStringLiteral("/support/");
inline const QString supportMailbox = QStringLiteral("support@vorn.dalmerik.nl");

} // namespace Website
