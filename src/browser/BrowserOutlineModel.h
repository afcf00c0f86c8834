#pragma once

#include "browser/BrowserElementSection.h"

#include <QAbstractItemModel>

#include <functional>

class BrowserElementStore;

// The outline's model over one element store: the sections of its selected schema as group rows,
// each with the elements that pass the store's search text. It keeps a snapshot of what it shows, so
// the view stays consistent between a change of the store and the reload or animated update that
// reports it. Main thread.
class BrowserOutlineModel : public QAbstractItemModel
{
    Q_OBJECT
public:
    enum Role { SectionTypeRole = Qt::UserRole + 1, IsSectionRole };
    // The drag data of one dragged element; null when nothing is to be dragged.
    using DragWriter = std::function<QMimeData *(const BrowserElementPtr &)>;

    explicit BrowserOutlineModel(QObject *parent = nullptr);

    // The section header's title for a section type.
    static QString titleForSectionType(qint64 type);

    BrowserElementStore *store() const { return store_; }
    // Shows the store (null: nothing) and reads it again.
    void setStore(BrowserElementStore *store);
    void reload();
    // Animates one change of the recent section that the store has made already.
    void applySectionUpdate(const BrowserElementSectionUpdate &update);
    void setDragWriter(DragWriter writer) { dragWriter_ = std::move(writer); }

    QList<BrowserElementSectionPtr> sections() const { return sections_; }
    QModelIndex indexOfSection(const BrowserElementSection *section) const;
    // The row of the element, found by database identity in its schema's sections: null when it is
    // filtered out or not listed. The parent section decides when given.
    QModelIndex indexOfElement(const BrowserElement &element,
                               const BrowserElementSection *section = nullptr) const;
    BrowserElementSectionPtr sectionAt(const QModelIndex &index) const;
    BrowserElementPtr elementAt(const QModelIndex &index) const;
    // The section an element row belongs to.
    BrowserElementSectionPtr parentSectionAt(const QModelIndex &index) const;
    // Every shown element, section after section.
    QList<BrowserElementPtr> activeItems() const;

    QModelIndex index(int row, int column, const QModelIndex &parent = {}) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QStringList mimeTypes() const override;
    QMimeData *mimeData(const QModelIndexList &indexes) const override;
    Qt::DropActions supportedDragActions() const override { return Qt::CopyAction; }
    Qt::DropActions supportedDropActions() const override { return Qt::CopyAction; }

private:
    void readStore();

    BrowserElementStore *store_ = nullptr;
    QList<BrowserElementSectionPtr> sections_;
    QList<QList<BrowserElementPtr>> elements_;
    DragWriter dragWriter_;
};
