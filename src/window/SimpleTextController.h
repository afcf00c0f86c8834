#pragma once

#include "connection/ConnectedController.h"
#include "window/PrintableController.h"

#include <QString>

#include <memory>

class BrowserElement;

// The model of the read-only text pane: the definition of an object the browser loaded, or a
// statement's message. It works on the document's root like the other pane models; the document
// fills it and tells the pane (textUpdated). With the element whose text is shown it is a printable
// source that names the element's kind and name; a statement's message has no element and cannot be
// printed.
class SimpleTextController : public ConnectedController, public PrintableController
{
public:
    explicit SimpleTextController(VornRootClientPtr vornRoot);

    QString text() const { return text_; }
    void setText(const QString &text) { text_ = text; }
    std::shared_ptr<BrowserElement> browserElement() const { return browserElement_; }
    void setBrowserElement(std::shared_ptr<BrowserElement> element) { browserElement_ = std::move(element); }

    bool canPrint() const { return browserElement_ != nullptr; }
    // The printed kind of an element's type word: constraints and indexes by name, others as is.
    static QString contentTypeForElementType(const QString &type);

    std::unique_ptr<QTextDocument> printViewNeedsContentString() const override;
    QString printViewNeedsContentTypeString() const override;
    QString printViewNeedsTitle() const override;
    QString printViewNeedsSourceQuery() const override { return QString(); }
    QString printViewNeedsFileName() const override { return QString(); }

private:
    QString text_ = QStringLiteral("");
    std::shared_ptr<BrowserElement> browserElement_;
};
