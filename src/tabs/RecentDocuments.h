#pragma once

#include <QStringList>

class UserDefaults;

// The files of the Open Recent menu, kept in the preferences: most recent first, each once, at most
// maximumCount. Files that no longer exist are dropped whenever the list is read.
class RecentDocuments
{
public:
    static constexpr int maximumCount = 10;

    // defaults: the standard store when null.
    explicit RecentDocuments(UserDefaults *defaults = nullptr);

    QStringList documents() const;
    // A file opened or saved comes to the front.
    void noteDocument(const QString &path) const;
    void clear() const;

private:
    void store(const QStringList &paths) const;

    UserDefaults &defaults_;
};
