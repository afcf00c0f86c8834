#include "document/DocumentBackgroundSupport.h"

#include "document/VornDocument.h"
#include "document/VornDocumentSession.h"
#include "platform/MainThread.h"

#include <QCoreApplication>

DocumentBackgroundSupport::DocumentBackgroundSupport(VornDocument &document,
                                                     std::shared_ptr<VornDocumentSession> session)
    : document_(&document), session_(std::move(session))
{
}

VornRootClientPtr DocumentBackgroundSupport::backgroundRoot() const
{
    return session_->vornRoot;
}

bool DocumentBackgroundSupport::backgroundConnected() const
{
    return session_->connected && !session_->closedDocument();
}

bool DocumentBackgroundSupport::backgroundControllerNeedsDDLDirtyFlag()
{
    return session_->dirtyDDL.exchange(false);
}

void DocumentBackgroundSupport::backgroundControllerRestoreDDLDirtyFlag()
{
    session_->dirtyDDL = true;
}

void DocumentBackgroundSupport::backgroundControllerCheckedRecyclebin(bool full)
{
    if (session_->recyclebinIsFull.exchange(full) == full)
        return;
    MainThread::postAndWait([document = document_] {
        if (document)
            document->documentStatusUpdated();
    });
}

void DocumentBackgroundSupport::backgroundConnectionCheck()
{
    if (!document_ || document_->closedDocument())
        return;
    if (document_->connectedControllerWantsRootReservationFor(
            nullptr, QCoreApplication::translate("activity", "Connection check")))
        document_->connectedControllerWantsEndRootReservation(nullptr);
}

void DocumentBackgroundSupport::metaDataExternalUpdateStart()
{
    if (document_)
        document_->metaDataExternalUpdate(true);
}

void DocumentBackgroundSupport::metaDataExternalUpdateEnd()
{
    if (document_)
        document_->metaDataExternalUpdate(false);
}

void DocumentBackgroundSupport::metaDataWasExternallyUpdated()
{
    if (document_)
        document_->metaDataWasExternallyUpdated();
}
