#pragma once

#include <QPushButton>
#include <QString>

// A button of a large-object field of the input sheet: it names its field, and its tag tells the
// operation (1 Clear, 2 Export, 3 Import).
class BlobButton : public QPushButton
{
    Q_OBJECT
public:
    enum Tag { Clear = 1, Export = 2, Import = 3 };

    BlobButton(const QString &title, const QString &columnName, int tag, QWidget *parent = nullptr)
        : QPushButton(title, parent), columnName_(columnName), tag_(tag)
    {
    }

    QString columnName() const { return columnName_; }
    int tag() const { return tag_; }

private:
    QString columnName_;
    int tag_;
};
