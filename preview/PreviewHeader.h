#pragma once

#include "RichText.h"

#include "connection/ConnectionParameters.h"

#include <QString>
#include <QVariantMap>

// The document header of a preview: the stored connection (its name, or the file name without
// one), the application that saved the document, the connection's details, and who created and
// last changed the document when.
struct PreviewHeader {
    struct Row {
        QString label; // translated; empty for a continuation row
        QString value;
    };

    QString title;
    QString applicationName;
    QList<Row> connectionDetails;
    QList<Row> creatorDetails;

    static PreviewHeader create(const ConnectionParameters *connectionParameters, const QVariantMap &options,
                                const QString &fileName);

    // The HTML fragment of the preview page; every value is escaped.
    QString html() const;
    // The block the rich-text preview starts with.
    RichText richText() const;
};

// createDocumentHeader of the HTML preview page.
QString createDocumentHeader(const ConnectionParameters *connectionParameters, const QVariantMap &options,
                             const QString &fileName);
