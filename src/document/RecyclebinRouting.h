#pragma once

#include "browser/RecyclebinControllerDelegate.h"
#include "client/VornRootClient.h"

#include <memory>

class RecyclebinController;
class RecycleBinViewController;
class VornDocument;

// The document's recycle bin: it owns the bin's controller, opens the window's shared sheet on it, and
// keeps the toolbar's bin image in line with what the bin holds.
class RecyclebinRouting : public RecyclebinControllerDelegate
{
public:
    RecyclebinRouting(VornDocument &document, const VornRootClientPtr &root);
    RecyclebinRouting(const RecyclebinRouting &) = delete;
    RecyclebinRouting &operator=(const RecyclebinRouting &) = delete;
    ~RecyclebinRouting() override;

    RecyclebinController *recyclebinController() const { return recyclebinController_.get(); }
    // Shows the window's recycle-bin sheet with this document's bin, listed afresh.
    void openSheet();

    // RecyclebinControllerDelegate.
    void recyclebinUpdated() override;
    void recycledidPerformRestore() override;

private:
    // The window's sheet; null without a window.
    RecycleBinViewController *sheet() const;

    VornDocument &document_;
    std::unique_ptr<RecyclebinController> recyclebinController_;
};
