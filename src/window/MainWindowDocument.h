#pragma once

#include "tabs/TabbedDocument.h"

// What the main window asks of the document in its active tab. The connection document
// implements it; the window never owns the document.
class MainWindowDocument : public TabbedDocument
{
    Q_OBJECT
public:
    // The tab-title formats of the tab title submenu.
    enum TabTitleFormat { SelectedElementName = 0, DocumentName = 1, ConnectionName = 2 };

    explicit MainWindowDocument(QObject *parent = nullptr) : TabbedDocument(parent) {}

    // Bit mask of the toolbar features (ToolbarFeature) the document offers now.
    virtual qint64 toolbarFeatures() const = 0;
    // Whether the connection's recycle bin holds objects.
    virtual bool toolbarRecylceBinIsFull() const = 0;
    virtual int tabTitleFormat() const = 0;
    // Changes the title the document reports for its tab.
    virtual void setTabTitleFormat(int format) = 0;
};
