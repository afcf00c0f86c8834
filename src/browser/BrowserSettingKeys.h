#pragma once

#include <QString>

// The browser's keys in the per-connection settings.
namespace BrowserSettingKey
{
// Identifiers of the favourite elements, in favourites order.
inline const QString favourites = QStringLiteral("favourites");
// Drop-source key to the identifiers of the elements it was dropped on, oldest first.
inline const QString quickfilterDrops = QStringLiteral("quickfilterDrops");
} // namespace BrowserSettingKey

// Posted without sender after every write of the favourites; every browser controller reloads them.
inline const QString browserFavouritesUpdatedNotification = QStringLiteral("Browser_FavouritesUpdated");
