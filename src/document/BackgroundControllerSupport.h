#pragma once

#include "client/VornRootClient.h"

#include <memory>

// One connection document as the background checker sees it. The root, the connected flag and the
// two DDL-dirty calls are used on the checker's worker; the rest on the main thread, where a document
// that has closed meanwhile does nothing.
class BackgroundControllerSupport
{
public:
    virtual ~BackgroundControllerSupport() = default;

    virtual VornRootClientPtr backgroundRoot() const = 0;
    // The document believes it holds a live connection.
    virtual bool backgroundConnected() const = 0;
    // Test-and-clear of the document's DDL-dirty mark.
    virtual bool backgroundControllerNeedsDDLDirtyFlag() = 0;
    // Puts the mark back: the check it asked for could not run this time.
    virtual void backgroundControllerRestoreDDLDirtyFlag() = 0;
    virtual void backgroundControllerCheckedRecyclebin(bool full) = 0;

    // Main thread. Takes and at once gives back the root's reservation, so that a lost connection
    // is noticed and reported by the document.
    virtual void backgroundConnectionCheck() = 0;
    virtual void metaDataExternalUpdateStart() = 0;
    virtual void metaDataExternalUpdateEnd() = 0;
    virtual void metaDataWasExternallyUpdated() = 0;
};

using BackgroundControllerSupportPtr = std::shared_ptr<BackgroundControllerSupport>;
