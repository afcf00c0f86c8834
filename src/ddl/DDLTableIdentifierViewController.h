#pragma once

#include "ddl/DDLSchemaObjectIdentifierViewController.h"

class QPlainTextEdit;

// The table assistant's identification page: the new table's name, schema and comment.
class DDLTableIdentifierViewController : public DDLSchemaObjectIdentifierViewController
{
public:
    DDLTableIdentifierViewController();

    QPlainTextEdit *commentView() const { return comment_; }

private:
    void update() override;

    QPlainTextEdit *comment_;
};
