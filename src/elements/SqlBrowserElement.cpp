#include "elements/SqlBrowserElement.h"

SqlBrowserElement::SqlBrowserElement(const QString &schema, const QString &source, double timing)
    : BrowserElement(QStringLiteral("SQL Statement"), schema, QStringLiteral("SQL Statement result"),
                     StatementResult),
      source_(source), timing_(timing)
{
}
