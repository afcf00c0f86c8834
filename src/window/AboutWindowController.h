#pragma once

#include <QDialog>
#include <QVariantMap>

class QLabel;

// The About window: name, version and build, copyright.
class AboutWindowController : public QDialog
{
    Q_OBJECT
public:
    // info: the application's Info.plist values.
    explicit AboutWindowController(const QVariantMap &info, QWidget *parent = nullptr);

    static QString versionText(const QVariantMap &info);
    void runWindow();
    QLabel *versionField() const { return version_; }
    QLabel *copyrightField() const { return copyright_; }

public slots:
    // Close Tab while the About window is in front closes it.
    void performCloseTab(QObject *sender);

private:
    QVariantMap info_;
    QLabel *version_;
    QLabel *copyright_;
};
