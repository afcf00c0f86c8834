#pragma once

#include "ddl/DDLSchemaObjectIdentifierViewController.h"

// The sequence assistant's identification page: the new sequence's name and schema.
class DDLSequenceIdentifierViewController : public DDLSchemaObjectIdentifierViewController
{
public:
    DDLSequenceIdentifierViewController();

private:
    void update() override;
};
