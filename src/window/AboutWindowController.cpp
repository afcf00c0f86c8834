#include "window/AboutWindowController.h"

#include <QApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>

AboutWindowController::AboutWindowController(const QVariantMap &info, QWidget *parent)
    : QDialog(parent), info_(info)
{
    setObjectName("AboutWindow");
    setWindowTitle(tr("About Vorn"));
    auto *icon = new QLabel;
    icon->setPixmap(QApplication::windowIcon().isNull()
                        ? style()->standardIcon(QStyle::SP_ComputerIcon).pixmap(96, 96)
                        : QApplication::windowIcon().pixmap(96, 96));
    icon->setAlignment(Qt::AlignCenter);
    auto *name = new QLabel("Vorn");
    name->setAlignment(Qt::AlignCenter);
    name->setStyleSheet("font-size: 20pt; font-weight: bold;");
    version_ = new QLabel;
    version_->setAlignment(Qt::AlignCenter);
    copyright_ = new QLabel;
    copyright_->setAlignment(Qt::AlignCenter);
    copyright_->setWordWrap(true);
    copyright_->setStyleSheet("color: #808080;");
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(30, 24, 30, 24);
    for (QWidget *w : {static_cast<QWidget *>(icon), static_cast<QWidget *>(name),
                       static_cast<QWidget *>(version_), static_cast<QWidget *>(copyright_)})
        layout->addWidget(w);
    setFixedWidth(360);
}

QString AboutWindowController::versionText(const QVariantMap &info)
{
    return QString("Version %1 (%2)")
        .arg(info.value("CFBundleShortVersionString").toString(), info.value("BuildNumber").toString());
}

void AboutWindowController::runWindow()
{
    version_->setText(versionText(info_));
    copyright_->setText(info_.value("NSHumanReadableCopyright").toString());
    adjustSize();
    if (QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    show();
    raise();
    activateWindow();
}

void AboutWindowController::performCloseTab(QObject *)
{
    close();
}
