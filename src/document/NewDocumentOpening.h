#pragma once

#include <QVariantMap>

class VornDocument;

// Opens an untitled document made from the initialisation info in a new tab of the document's window,
// or in a new window, once the current call has returned: opening a tab from inside a model's report
// would rebuild the window under it. Nothing opens when the document's window has gone meanwhile.
void openNewDocumentLater(VornDocument &document, const QVariantMap &initializationInfo, bool newWindow);
