#include "window/SimpleTextController.h"

#include "elements/BrowserElement.h"

#include <QCoreApplication>

SimpleTextController::SimpleTextController(VornRootClientPtr vornRoot)
    : ConnectedController(std::move(vornRoot))
{
}

QString SimpleTextController::contentTypeForElementType(const QString &type)
{
    if (type == "CONSTRAINT")
        return QCoreApplication::translate("printing", "Constraint");
    if (type == "INDEX")
        return QCoreApplication::translate("printing", "Index");
    return type;
}

std::unique_ptr<QTextDocument> SimpleTextController::printViewNeedsContentString() const
{
    return std::make_unique<QTextDocument>(text_);
}

QString SimpleTextController::printViewNeedsContentTypeString() const
{
    return browserElement_ ? contentTypeForElementType(browserElement_->type()) : QString();
}

QString SimpleTextController::printViewNeedsTitle() const
{
    return browserElement_ ? browserElement_->name() : QString();
}
