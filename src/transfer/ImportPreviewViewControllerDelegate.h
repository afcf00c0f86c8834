#pragma once

#include <QtGlobal>

// Told when the user picks a column in the import preview grid.
class ImportPreviewViewControllerDelegate
{
public:
    virtual ~ImportPreviewViewControllerDelegate() = default;
    virtual void importPreviewViewControllerSelectedColumn(qint64 index) = 0;
};
