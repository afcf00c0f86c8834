#include "browser/BrowserElementSection.h"

BrowserElementSection::BrowserElementSection(qint64 type, QList<BrowserElementPtr> elements)
    : type_(type), elements_(std::move(elements))
{
}

void BrowserElementSection::setElements(QList<BrowserElementPtr> elements)
{
    elements_ = std::move(elements);
    filterResults_.reset();
}

void BrowserElementSection::setFilter(const QString &filter)
{
    if (!filter.isNull() && !filter_.isNull() && filter == filter_)
        return;
    filter_ = filter;
    filterResults_.reset();
}

QList<BrowserElementPtr> BrowserElementSection::filteredBrowserElements()
{
    if (!respondsToFilter() || filter_.isNull())
        return elements_;
    if (!filterResults_)
        filterResults_ = filteredBrowserElementsForElement(elements_, filter_);
    return *filterResults_;
}

QList<BrowserElementPtr>
BrowserElementSection::filteredBrowserElementsForElement(const QList<BrowserElementPtr> &elements,
                                                         const QString &filter)
{
    if (filter.isNull())
        return elements;
    QStringList words;
    for (const QString &word : filter.toLower().trimmed().split(' ')) {
        if (!word.trimmed().isEmpty())
            words.append(word.trimmed());
    }
    QList<BrowserElementPtr> kept;
    for (const BrowserElementPtr &element : elements) {
        const QString name = element->name();
        const bool all = std::all_of(words.cbegin(), words.cend(), [&name](const QString &word) {
            return name.contains(word, Qt::CaseInsensitive);
        });
        if (all)
            kept.append(element);
    }
    return kept;
}
