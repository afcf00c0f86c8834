#include "app/PreferenceControls.h"

#include "app/PreferenceColorButton.h"
#include "platform/Preferences.h"
#include "platform/UserDefaults.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QSpinBox>

PreferenceControls::PreferenceControls(UserDefaults &store, QObject *parent) : QObject(parent), store_(store)
{
}

void PreferenceControls::write(const QVariant &value, const QString &key, const FollowUp &followUp)
{
    store_.setObject(value, key);
    if (followUp)
        followUp();
}

QCheckBox *PreferenceControls::checkBox(const QString &key, const QString &title, FollowUp followUp)
{
    auto *box = new QCheckBox(title);
    box->setObjectName(key);
    reloaders_.push_back([this, box, key] {
        const QSignalBlocker quiet(box);
        box->setChecked(store_.boolForKey(key));
    });
    connect(box, &QCheckBox::toggled, this, [this, key, followUp](bool on) { write(on, key, followUp); });
    return box;
}

QSpinBox *PreferenceControls::spinBox(const QString &key, int minimum, int maximum, FollowUp followUp)
{
    auto *box = new QSpinBox;
    box->setObjectName(key);
    box->setRange(minimum, maximum);
    box->setGroupSeparatorShown(maximum >= 10000);
    reloaders_.push_back([this, box, key] {
        const QSignalBlocker quiet(box);
        box->setValue(int(store_.integerForKey(key)));
    });
    const bool real = key == PreferenceKey::recallCount;
    connect(box, &QSpinBox::valueChanged, this, [this, key, real, followUp](int value) {
        write(real ? QVariant(double(value)) : QVariant(qint64(value)), key, followUp);
    });
    return box;
}

QComboBox *PreferenceControls::choice(const QString &key, const QStringList &items, FollowUp followUp)
{
    auto *box = new QComboBox;
    box->setObjectName(key);
    box->addItems(items);
    reloaders_.push_back([this, box, key] {
        const QSignalBlocker quiet(box);
        box->setCurrentIndex(int(store_.integerForKey(key)));
    });
    connect(box, &QComboBox::activated, this,
            [this, key, followUp](int index) { write(qint64(index), key, followUp); });
    return box;
}

QComboBox *PreferenceControls::editableText(const QString &key, const QStringList &offered, FollowUp followUp)
{
    auto *box = new QComboBox;
    box->setObjectName(key);
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->addItems(offered);
    const auto show = [this, box, key] {
        const QSignalBlocker quiet(box);
        box->setCurrentText(store_.stringForKey(key));
    };
    reloaders_.push_back(show);
    const auto take = [this, box, key, show, followUp] {
        const QString text = box->currentText().trimmed();
        if (text.isEmpty()) {
            show();
            return;
        }
        if (text != store_.stringForKey(key))
            write(text, key, followUp);
    };
    connect(box, &QComboBox::textActivated, this, take);
    connect(box->lineEdit(), &QLineEdit::editingFinished, this, take);
    return box;
}

PreferenceColorButton *PreferenceControls::colorButton(const QString &key, const QString &title,
                                                       FollowUp followUp)
{
    auto *button = new PreferenceColorButton(title);
    button->setObjectName(key);
    reloaders_.push_back([this, button, key] { button->setColor(QColor(store_.stringForKey(key))); });
    connect(button, &PreferenceColorButton::colorChosen, this,
            [this, key, followUp](const QColor &color) { write(color.name(), key, followUp); });
    return button;
}

void PreferenceControls::reload()
{
    for (const auto &reloader : reloaders_)
        reloader();
    emit reloaded();
}
