#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

class QCheckBox;
class QComboBox;
class QSpinBox;
class PreferenceColorButton;
class UserDefaults;

// Controls bound to preference keys: each shows its key's stored value and writes a change at once,
// then runs its follow-up (a refresh of what shows the setting). reload() shows the store again,
// after a change made elsewhere (a reset, another window).
class PreferenceControls : public QObject
{
    Q_OBJECT
public:
    using FollowUp = std::function<void()>;

    explicit PreferenceControls(UserDefaults &store, QObject *parent = nullptr);

    QCheckBox *checkBox(const QString &key, const QString &title, FollowUp followUp = {});
    // An integer key; recallCount keeps its real kind.
    QSpinBox *spinBox(const QString &key, int minimum, int maximum, FollowUp followUp = {});
    // An integer key whose value is the chosen item's index.
    QComboBox *choice(const QString &key, const QStringList &items, FollowUp followUp = {});
    // A text key: one of the offered values or one typed in; an empty text is refused and the stored
    // value shows again.
    QComboBox *editableText(const QString &key, const QStringList &offered, FollowUp followUp = {});
    PreferenceColorButton *colorButton(const QString &key, const QString &title, FollowUp followUp = {});

    void reload();

signals:
    // Every control shows the store again.
    void reloaded();

private:
    void write(const QVariant &value, const QString &key, const FollowUp &followUp);

    UserDefaults &store_;
    std::vector<std::function<void()>> reloaders_;
};
