#pragma once

#include <QVariantList>

#include <memory>

// The typed client of the backend's activity singleton ("nl.dalmerik.vorn.VornActivityController"):
// what every backend connection is doing. Main thread. Virtual so that tests can put a fake in its
// place.
class VornActivityClient
{
public:
    static constexpr const char *className = "nl.dalmerik.vorn.VornActivityController";

    // The singleton through the shared bridge; null without a VM.
    static std::shared_ptr<VornActivityClient> shared();
    VornActivityClient(const VornActivityClient &) = delete;
    VornActivityClient &operator=(const VornActivityClient &) = delete;
    virtual ~VornActivityClient();

    // Whether anything changed since the last question; asking clears it.
    virtual bool changed();
    // The connections as dictionaries with "settings" ("uid", "parentUid", "root", "state",
    // "connectionInfo", "activity", "progress"); "root" holds the backend root object. With
    // includeParents only busy connections and the parents of busy ones.
    virtual QVariantList rootSettings(bool includeParents);
    virtual qint64 connectedCount();
    virtual qint64 activeCount();

protected:
    VornActivityClient();

private:
    struct Singleton;
    std::shared_ptr<Singleton> singleton_;
};
