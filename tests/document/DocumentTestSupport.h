#pragma once

#include "connection/ConnectionParameters.h"

#include <QString>
#include <QStringList>

class QAbstractButton;
class QMessageBox;
class QoJavaBridge;
class VornDocument;
struct DatabaseTarget;

// The shared bridge with the product jar, the JDBC drivers and the document tests' own Java
// classes. Call before anything else starts the VM.
QoJavaBridge *startedDocumentBackend();

// A saved-connection definition for the target.
ConnectionParametersPtr parametersFor(const DatabaseTarget &target, quint64 autoCommit = 1);

// The visible sheet or alert box, waiting up to a few seconds for it; null when none came.
QMessageBox *waitForMessageBox();
// Waits for a message box and presses the button with the title; false when there was none.
bool answerMessageBox(const QString &buttonTitle, QString *text = nullptr);

// The document log's entries without their times.
QStringList logEntries(const VornDocument &document);
