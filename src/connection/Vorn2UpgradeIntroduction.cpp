#include "connection/Vorn2UpgradeIntroduction.h"

#include <QCoreApplication>
#include <QLabel>
#include <QVBoxLayout>

namespace
{
QString text(const char *source)
{
    return QCoreApplication::translate("vorn2upgrade", source);
}
} // namespace

Vorn2UpgradeIntroduction::Vorn2UpgradeIntroduction(const QVariantMap &info) : info_(info)
{
    auto *view = new QWidget;
    view->setObjectName("Vorn2UpgradeIntroduction");
    auto *intro = new QLabel(text("This version of Vorn keeps its connections in a new place. Your "
                                  "connections of Vorn 2 can be taken over once, with their passwords.\n\n"
                                  "On the next pages you choose which connections to import."));
    intro->setWordWrap(true);
    version_ = new QLabel;
    copyright_ = new QLabel;
    copyright_->setStyleSheet("color: #808080;");
    auto *layout = new QVBoxLayout(view);
    layout->addWidget(intro);
    layout->addStretch();
    layout->addWidget(version_);
    layout->addWidget(copyright_);
    view->resize(520, 320);
    setView(view);
}

void Vorn2UpgradeIntroduction::updateInterface()
{
    version_->setText(QString("Version %1 (%2)")
                          .arg(info_.value("CFBundleShortVersionString").toString(),
                               info_.value("BuildNumber").toString()));
    copyright_->setText(info_.value("NSHumanReadableCopyright").toString());
}
