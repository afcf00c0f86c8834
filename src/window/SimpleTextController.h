#pragma once

#include <QString>

#include <memory>

class BrowserElement;

// The model of the read-only text pane: the DDL of an object or a statement's message. The
// document fills it and tells the pane (textUpdated). The element whose text is shown is
// empty until schema elements exist; then printing names its kind and name.
class SimpleTextController
{
public:
    QString text() const { return text_; }
    void setText(const QString &text) { text_ = text; }
    std::shared_ptr<BrowserElement> browserElement() const { return browserElement_; }
    void setBrowserElement(std::shared_ptr<BrowserElement> element) { browserElement_ = std::move(element); }

    // Only the text of an object can be printed; a statement's message cannot.
    bool canPrint() const { return browserElement_ != nullptr; }
    QString printViewNeedsContentString() const { return text_; }
    // The printed kind of an element's type word: constraints and indexes by name, others as is.
    static QString contentTypeForElementType(const QString &type);

private:
    QString text_ = QStringLiteral("");
    std::shared_ptr<BrowserElement> browserElement_;
};
