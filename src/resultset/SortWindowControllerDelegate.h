#pragma once

class SortWindowController;

// What the sort sheet tells the grid that opened it.
class SortWindowControllerDelegate
{
public:
    virtual ~SortWindowControllerDelegate() = default;
    // The sheet closed: status 1 for Set (the delegate reads currentSort()), 0 for Cancel.
    virtual void sortWindowEndedWithStatus(SortWindowController *sheet, int status) = 0;
};
