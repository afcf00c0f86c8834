#pragma once

#include "connection/ConnectionParameters.h"

#include <QString>
#include <QVariantMap>

#include <optional>

// A saved SQL document as the preview reads it: its SQL text without the stored-settings header,
// and what that header recorded.
struct PreviewDocument {
    // The longest text previewed, in UTF-16 code units; bounds the time and memory of one preview.
    static constexpr qsizetype maximumLength = 200000;

    QString fileName;
    QString sql;
    ConnectionParametersPtr connectionParameters;
    std::optional<QVariantMap> documentOptions;

    // Reads the file a file URL or plain path names. An unreadable file gives an empty text.
    static PreviewDocument fromURL(const QString &url);
    // The same for text already read.
    static PreviewDocument fromText(const QString &fileName, QString text);
};

// The file's bytes as text: UTF-8 when they are valid UTF-8, else Latin-1 (which reads any bytes),
// with line ends as the editor holds them (LF).
QString previewDocumentText(const QByteArray &data);
// The text cut to at most maximum code units, one fewer where the cut would split a surrogate pair.
QString previewTextCut(const QString &text, qsizetype maximum);
