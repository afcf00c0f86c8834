#pragma once

#include "document/BackgroundControllerSupport.h"

#include <QPointer>

class VornDocument;
class VornDocumentSession;

// A connection document as the background checker sees it. The worker's questions go to the
// document's session, which outlives the tab; the main-thread notices reach the document while it
// is open.
class DocumentBackgroundSupport : public BackgroundControllerSupport
{
public:
    DocumentBackgroundSupport(VornDocument &document, std::shared_ptr<VornDocumentSession> session);

    VornRootClientPtr backgroundRoot() const override;
    bool backgroundConnected() const override;
    bool backgroundControllerNeedsDDLDirtyFlag() override;
    void backgroundControllerRestoreDDLDirtyFlag() override;
    void backgroundControllerCheckedRecyclebin(bool full) override;
    void backgroundConnectionCheck() override;
    void metaDataExternalUpdateStart() override;
    void metaDataExternalUpdateEnd() override;
    void metaDataWasExternallyUpdated() override;

private:
    QPointer<VornDocument> document_;
    const std::shared_ptr<VornDocumentSession> session_;
};
