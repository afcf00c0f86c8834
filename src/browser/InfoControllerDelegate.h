#pragma once

#include <QString>

#include <memory>

class InfoController;

// What an info controller asks of the document (or of the floating panel that shows it). Main thread.
class InfoControllerDelegate
{
public:
    virtual ~InfoControllerDelegate() = default;

    // Whether the delayed detail load may be armed (the document: while its info column shows).
    virtual bool infoControllerShouldLoadExtendedInfo(InfoController *controller) = 0;
    // A section's content changed; -1 for all.
    virtual void infoHasBeenUpdated(qint64 sectionType) = 0;
    // Show this new controller in a floating info panel.
    virtual void requestSeparatedViewOfInfoController(std::shared_ptr<InfoController> controller) = 0;
    // The colour label of the document's tab.
    virtual qint64 infoControllerNeedsTabLabel(InfoController *controller) = 0;
    // The connection name while connected, else a null string.
    virtual QString infoControllerNeedsActiveConnectionName(InfoController *controller) = 0;
};
