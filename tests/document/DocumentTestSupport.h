#pragma once

#include <QString>
#include <QStringList>

class QAbstractButton;
class QMessageBox;
class QoJavaBridge;
class VornDocument;

// The shared bridge with the product jar, the JDBC drivers and the document tests' own Java
// classes. Call before anything else starts the VM.
QoJavaBridge *startedDocumentBackend();

// The visible sheet or alert box, waiting up to a few seconds for it; null when none came.
QMessageBox *waitForMessageBox();
// Waits for a message box and presses the button with the title; false when there was none.
bool answerMessageBox(const QString &buttonTitle, QString *text = nullptr);

// The document log's entries without their times.
QStringList logEntries(const VornDocument &document);
