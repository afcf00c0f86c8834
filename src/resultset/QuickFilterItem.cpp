#include "resultset/QuickFilterItem.h"

#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPropertyAnimation>
#include <QThread>
#include <QToolButton>
#include <QWidget>
#include <QtDebug>

#include <algorithm>

const QString QuickFilterItem::customFilterColumn = QStringLiteral("__CUSTOM_FILTER__");
const QString QuickFilterItem::emptyColumn = QStringLiteral("__EMPTY__");

namespace
{
constexpr int searchFieldWidth = 170;
constexpr int controlHeight = 22;
constexpr int buttonSize = 20;
constexpr int animationMs = 350;

QString quickFilterText(const char *key)
{
    return QCoreApplication::translate("quickfilter", key);
}

QString customFilterTitle()
{
    return quickFilterText("Custom Filter");
}

bool isNullTest(const QString &code)
{
    return code == QLatin1String("IS NULL") || code == QLatin1String("NOT IS NULL");
}

// The column menu tells the row just before it opens, so the row can rebuild it for the keys held.
class ColumnMenu : public QComboBox
{
public:
    using QComboBox::QComboBox;
    std::function<void()> willPopUp;

    void showPopup() override
    {
        if (willPopUp)
            willPopUp();
        QComboBox::showPopup();
    }
};

QFont menuFont()
{
    QFont font = QApplication::font();
    font.setPointSize(11);
    return font;
}

QFont valueFont()
{
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSize(10);
    return font;
}
} // namespace

QuickFilterItem::QuickFilterItem(const QVariantList &columnInfo, QObject *parent)
    : QObject(parent), columnInfo_(columnInfo)
{
    view_ = new QWidget;
    view_->setObjectName(QStringLiteral("QuickFilterItem"));
    view_->resize(400, ordinaryHeight);
    auto *columns = new ColumnMenu(view_);
    columns_ = columns;
    operators_ = new QComboBox(view_);
    for (QComboBox *menu : {columns_, operators_}) {
        menu->setFont(menuFont());
        menu->setSizeAdjustPolicy(QComboBox::AdjustToContents);
        menu->setMaxVisibleItems(30);
    }
    columns_->setObjectName(QStringLiteral("columns"));
    operators_->setObjectName(QStringLiteral("operators"));
    searchField_ = new QLineEdit(view_);
    searchField_->setObjectName(QStringLiteral("searchField"));
    searchField_->setClearButtonEnabled(true);
    searchField_->setFont(valueFont());
    textField_ = new QPlainTextEdit(view_);
    textField_->setObjectName(QStringLiteral("textField"));
    textField_->setFont(valueFont());
    textField_->setTabChangesFocus(true);
    addButton_ = new QToolButton(view_);
    addButton_->setObjectName(QStringLiteral("addButton"));
    addButton_->setText(QStringLiteral("+"));
    addButton_->setToolTip(quickFilterText("Add a condition"));
    removeButton_ = new QToolButton(view_);
    removeButton_->setObjectName(QStringLiteral("removeButton"));
    removeButton_->setText(QStringLiteral("\u2212"));
    removeButton_->setToolTip(quickFilterText("Remove this condition"));
    for (QToolButton *button : {addButton_, removeButton_})
        button->setAutoRaise(true);

    buildInitialColumnMenu();
    resetOperators();
    layout();

    connect(columns_, &QComboBox::activated, this, &QuickFilterItem::columnSelectionUpdated);
    connect(operators_, &QComboBox::activated, this, &QuickFilterItem::operatorSelectionUpdated);
    connect(searchField_, &QLineEdit::textEdited, this, [this] {
        if (delegate_)
            delegate_->quickFilterItemWasUpdated(this);
    });
    connect(textField_, &QPlainTextEdit::textChanged, this, [this] {
        if (!settingSelection_ && delegate_)
            delegate_->quickFilterItemWasUpdated(this);
    });
    connect(addButton_, &QToolButton::clicked, this, [this] {
        if (delegate_)
            delegate_->quickFilterItemWantsToAddANewItem(this);
    });
    connect(removeButton_, &QToolButton::clicked, this, [this] {
        if (delegate_)
            delegate_->quickFilterItemWantsToBeRemoved(this);
    });
    // Alt (or Shift, where the window manager takes Alt-clicks) opens the menu sorted by name.
    columns->willPopUp = [this] {
        setUseOrderColumns(QGuiApplication::queryKeyboardModifiers() & (Qt::AltModifier | Qt::ShiftModifier));
    };

    setEnabled(true);
    setEnableRemoval(true);
    showControlsForKind(false);
    setValid(true);
}

QuickFilterItem::~QuickFilterItem()
{
    delete view_;
}

void QuickFilterItem::buildInitialColumnMenu()
{
    for (const QVariant &entry : columnInfo_) {
        const QString name = entry.toMap().value(QStringLiteral("name")).toString();
        if (name == customFilterColumn)
            columns_->addItem(customFilterTitle(), name);
        else if (name == emptyColumn || name.isEmpty())
            columns_->insertSeparator(columns_->count());
        else
            columns_->addItem(name, name);
    }
    if (columns_->count() > 0)
        columns_->setCurrentIndex(0);
}

void QuickFilterItem::setUseOrderColumns(bool useOrderColumns)
{
    if (useOrderColumns == useOrderColumns_)
        return;
    useOrderColumns_ = useOrderColumns;
    const QString selected = columnValue();
    QStringList names;
    bool hasCustomFilter = false;
    for (const QVariant &entry : columnInfo_) {
        const QString name = entry.toMap().value(QStringLiteral("name")).toString();
        if (name == customFilterColumn)
            hasCustomFilter = true;
        else if (name != emptyColumn && !name.isEmpty())
            names.append(name);
    }
    // A literal comparison, as the design sorts: capitals before lower case.
    if (useOrderColumns_)
        std::sort(names.begin(), names.end(),
                  [](const QString &a, const QString &b) { return QString::compare(a, b) < 0; });
    columns_->clear();
    for (const QString &name : names)
        columns_->addItem(name, name);
    if (hasCustomFilter) {
        columns_->insertSeparator(columns_->count());
        columns_->addItem(customFilterTitle(), customFilterColumn);
    }
    columns_->setCurrentIndex(selected.isNull() ? -1 : columns_->findData(selected));
}

QString QuickFilterItem::columnValue() const
{
    const QVariant data = columns_->currentData();
    return data.isValid() ? data.toString() : QString();
}

QVariantMap QuickFilterItem::columnEntry(const QString &columnName) const
{
    if (columnName.isNull())
        return {};
    for (const QVariant &entry : columnInfo_) {
        const QVariantMap column = entry.toMap();
        if (column.value(QStringLiteral("name")).toString() == columnName)
            return column;
    }
    return {};
}

QString QuickFilterItem::operatorValue() const
{
    if (isCustomFilter())
        return customFilterColumn;
    const QVariant data = operators_->currentData();
    if (columnEntry(columnValue()).isEmpty())
        return QString();
    // A column without operators answers the empty code: it stays parallel and filters nothing.
    return data.isValid() ? data.toString() : QStringLiteral("");
}

QString QuickFilterItem::value() const
{
    return isCustomFilter() ? textField_->toPlainText() : searchField_->text();
}

QString QuickFilterItem::columnType() const
{
    const QVariantMap entry = columnEntry(columnValue());
    return entry.isEmpty() ? QString() : entry.value(QStringLiteral("type")).toString();
}

int QuickFilterItem::indexOfColumnWithName(const QString &name) const
{
    if (name.isNull())
        return -1;
    for (qsizetype i = 0; i < columnInfo_.size(); ++i) {
        if (columnInfo_[i].toMap().value(QStringLiteral("name")).toString() == name)
            return int(i);
    }
    return -1;
}

int QuickFilterItem::indexOfOperatorWithCode(const QString &code) const
{
    if (code.isNull())
        return -1;
    const QString selected = columnValue();
    for (const QVariant &entry : columnInfo_) {
        const QVariantMap column = entry.toMap();
        if (column.value(QStringLiteral("name")).toString() != selected)
            continue;
        const int index = int(column.value(QStringLiteral("operators")).toStringList().indexOf(code));
        if (index >= 0)
            return index;
    }
    return -1;
}

QString QuickFilterItem::codeOfOperationAtIndex(int index) const
{
    const QVariantMap entry = columnEntry(columnValue());
    if (entry.isEmpty())
        return QString();
    return entry.value(QStringLiteral("operators")).toStringList().value(index);
}

QString QuickFilterItem::preferredColumnFor(const QString &columnName) const
{
    return columnEntry(columnName).value(QStringLiteral("preferredOperator")).toString();
}

QString QuickFilterItem::textualOperatorForOperator(const QString &code, const QString &type)
{
    static const QList<std::pair<QString, std::pair<const char *, const char *>>> titles = {
        {"LIKE", {QT_TRANSLATE_NOOP("quickfilter", "Contains"), nullptr}},
        {"NOTLIKE", {QT_TRANSLATE_NOOP("quickfilter", "Does not contain"), nullptr}},
        {"STARTSWITH", {QT_TRANSLATE_NOOP("quickfilter", "Starts with"), nullptr}},
        {"ENDSWITH", {QT_TRANSLATE_NOOP("quickfilter", "Ends with"), nullptr}},
        {"=",
         {QT_TRANSLATE_NOOP("quickfilter", "Equal to"), QT_TRANSLATE_NOOP("quickfilter", "DATE-- Equal to")}},
        {"!=",
         {QT_TRANSLATE_NOOP("quickfilter", "Is not equal to"),
          QT_TRANSLATE_NOOP("quickfilter", "DATE-- Is not equal to")}},
        {">",
         {QT_TRANSLATE_NOOP("quickfilter", "Greater than"),
          QT_TRANSLATE_NOOP("quickfilter", "DATE-- Greater than")}},
        {"<",
         {QT_TRANSLATE_NOOP("quickfilter", "Smaller than"),
          QT_TRANSLATE_NOOP("quickfilter", "DATE-- Smaller than")}},
        {"<=",
         {QT_TRANSLATE_NOOP("quickfilter", "Smaller or equal to"),
          QT_TRANSLATE_NOOP("quickfilter", "DATE-- Smaller or equal to")}},
        {">=",
         {QT_TRANSLATE_NOOP("quickfilter", "Greater or equal to"),
          QT_TRANSLATE_NOOP("quickfilter", "DATE-- Greater or equal to")}},
        {"IS NULL", {QT_TRANSLATE_NOOP("quickfilter", "Is empty"), nullptr}},
        {"NOT IS NULL", {QT_TRANSLATE_NOOP("quickfilter", "Is not empty"), nullptr}},
    };
    for (const auto &[known, keys] : titles) {
        if (known != code)
            continue;
        const char *key = type == QLatin1String("D") && keys.second ? keys.second : keys.first;
        const QString title = quickFilterText(key);
        // The date keys only mark where a language words dates apart; untranslated they read as the rest.
        const QString marker = QStringLiteral("DATE-- ");
        return title == QLatin1String(key) && title.startsWith(marker) ? title.mid(marker.size()) : title;
    }
    return code;
}

void QuickFilterItem::resetOperators()
{
    operators_->clear();
    const QVariantMap entry = columnEntry(columnValue());
    const QString type = entry.value(QStringLiteral("type")).toString();
    for (const QString &code : entry.value(QStringLiteral("operators")).toStringList())
        operators_->addItem(textualOperatorForOperator(code, type), code);
    const int preferred =
        indexOfOperatorWithCode(entry.value(QStringLiteral("preferredOperator")).toString());
    if (preferred >= 0)
        operators_->setCurrentIndex(preferred);
    searchField_->setVisible(!hidesSearchField());
}

bool QuickFilterItem::hidesSearchField() const
{
    return isCustomFilter() || isNullTest(operators_->currentData().toString());
}

void QuickFilterItem::selectColumn(const QString &columnName)
{
    columns_->setCurrentIndex(columnName.isNull() ? -1 : columns_->findData(columnName));
}

void QuickFilterItem::setSelectionColumn(const QString &columnName, const QString &operatorCode,
                                         const QString &value)
{
    Q_ASSERT_X(QThread::currentThread() == qApp->thread(), "QuickFilterItem",
               "Must be called on main thread");
    settingSelection_ = true;
    selectColumn(columnName);
    resetOperators();
    int position = indexOfOperatorWithCode(operatorCode);
    if (position < 0)
        position = std::max(0, indexOfOperatorWithCode(preferredColumnFor(columnValue())));
    if (position < operators_->count())
        operators_->setCurrentIndex(position);
    const QString text = value.isNull() ? QStringLiteral("") : value;
    if (columnValue() == customFilterColumn)
        textField_->setPlainText(text);
    else
        searchField_->setText(text);
    showControlsForKind(false);
    layout();
    settingSelection_ = false;
    if (columnValue().isNull()) {
        QStringList known;
        for (const QVariant &entry : columnInfo_)
            known << entry.toMap().value(QStringLiteral("name")).toString();
        qWarning().noquote() << QStringLiteral("Columnname %1").arg(columnName)
                             << known.join(QStringLiteral(", "));
    }
}

void QuickFilterItem::showControlsForKind(bool animated)
{
    const bool custom = isCustomFilter();
    const QSize size(view_->width(), custom ? customFilterHeight : ordinaryHeight);
    if (animated && view_->size() != size) {
        auto *animation = new QPropertyAnimation(view_, "size", view_);
        animation->setDuration(animationMs);
        animation->setEndValue(size);
        animation->start(QAbstractAnimation::DeleteWhenStopped);
    } else {
        view_->resize(size);
    }
    textField_->setVisible(custom);
    operators_->setVisible(!custom);
    searchField_->setVisible(!hidesSearchField());
}

void QuickFilterItem::layout()
{
    const int columnsWidth = columns_->sizeHint().width();
    const int operatorsWidth = operators_->sizeHint().width();
    columns_->setGeometry(0, 2, columnsWidth, controlHeight);
    const int operatorX = columnsWidth + 10;
    operators_->setGeometry(operatorX, 2, operatorsWidth, controlHeight);
    const int searchX = operatorX + operatorsWidth + 10;
    searchField_->setGeometry(searchX, 2, searchFieldWidth, controlHeight);
    const int searchRight = searchX + searchFieldWidth;
    textField_->setGeometry(operatorX, 2, searchRight - operatorX, customFilterHeight - 4);
    addButton_->setGeometry(searchRight + 6, 3, buttonSize, buttonSize);
    removeButton_->setGeometry(searchRight + 8 + buttonSize, 3, buttonSize, buttonSize);
    view_->resize(removeButton_->geometry().right() + 3, view_->height());
}

void QuickFilterItem::setValid(bool valid)
{
    valid_ = valid;
    for (QWidget *field : {static_cast<QWidget *>(searchField_), static_cast<QWidget *>(textField_)}) {
        QPalette palette = field->palette();
        palette.setColor(QPalette::Text, valid ? QApplication::palette().color(QPalette::Text)
                                               : QColor::fromRgbF(1.0, 0.2, 0.0, 1.0));
        field->setPalette(palette);
    }
}

void QuickFilterItem::setEnabled(bool enabled)
{
    enabled_ = enabled;
    updateEnabling();
}

void QuickFilterItem::setEnableRemoval(bool enableRemoval)
{
    enableRemoval_ = enableRemoval;
    updateEnabling();
}

void QuickFilterItem::updateEnabling()
{
    for (QWidget *control : {static_cast<QWidget *>(columns_), static_cast<QWidget *>(operators_),
                             static_cast<QWidget *>(searchField_), static_cast<QWidget *>(addButton_)})
        control->setEnabled(enabled_);
    removeButton_->setEnabled(enabled_ && enableRemoval_);
}

void QuickFilterItem::selectSearchfield()
{
    if (searchField_->isVisible())
        searchField_->setFocus(Qt::ShortcutFocusReason);
    else if (textField_->isVisible())
        textField_->setFocus(Qt::ShortcutFocusReason);
}

void QuickFilterItem::columnSelectionUpdated()
{
    resetOperators();
    showControlsForKind(true);
    layout();
    if (delegate_)
        delegate_->quickFilterItemWasUpdated(this);
    focusValue();
}

void QuickFilterItem::operatorSelectionUpdated()
{
    searchField_->setVisible(!hidesSearchField());
    layout();
    if (delegate_)
        delegate_->quickFilterItemWasUpdated(this);
    focusValue();
}

void QuickFilterItem::focusValue()
{
    if (!searchField_->isHidden())
        searchField_->setFocus(Qt::OtherFocusReason);
    else if (!textField_->isHidden())
        textField_->setFocus(Qt::OtherFocusReason);
}
