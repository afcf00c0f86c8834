#include "resultset/Filter.h"

#include "kit/ImageUtil.h"

#include <QCoreApplication>
#include <QDataStream>
#include <QFont>
#include <QGuiApplication>
#include <QHash>
#include <QIODevice>
#include <QMutex>
#include <QPixmap>
#include <QRandomGenerator>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QUrl>

#include <algorithm>

const QString Filter::filterItemType = QStringLiteral("com.ostrel.apps.vorn.filter-item");
const QString Filter::sqlFilterItemType = QStringLiteral("com.ostrel.apps.vorn.sql.filter-item");

namespace
{
const quint32 archiveTag = 0x5646494C; // "VFIL"
const quint32 archiveVersion = 1;
const int overrideLimit = 40;
const int valueLimit = 30;
const int shownValues = 3;

// Source documents cross archives as a number that means something only in this process: a token of
// the process, then a number given out per document. A closed document or a foreign token gives none.
class DocumentRegistry
{
public:
    static DocumentRegistry &shared()
    {
        static DocumentRegistry registry;
        return registry;
    }
    quint64 processToken() const { return token_; }

    qint64 numberFor(QObject *document)
    {
        if (!document)
            return 0;
        QMutexLocker lock(&mutex_);
        for (auto it = documents_.begin(); it != documents_.end();) {
            if (!it.value())
                it = documents_.erase(it);
            else if (it.value() == document)
                return it.key();
            else
                ++it;
        }
        const qint64 number = ++lastNumber_;
        documents_.insert(number, document);
        return number;
    }

    QObject *documentFor(quint64 token, qint64 number)
    {
        if (token != token_ || number == 0)
            return nullptr;
        QMutexLocker lock(&mutex_);
        return documents_.value(number);
    }

private:
    DocumentRegistry() : token_(QRandomGenerator::system()->generate64() | 1) {}

    const quint64 token_;
    QMutex mutex_;
    qint64 lastNumber_ = 0;
    QHash<qint64, QPointer<QObject>> documents_;
};

QString shortened(const QString &text, int limit)
{
    return text.size() > limit ? text.left(limit - 3) + QStringLiteral("...") : text;
}

QTextCharFormat tokenFormat(bool bold)
{
    QFont font = QGuiApplication::font();
    font.setPointSizeF(std::max(1.0, font.pointSizeF() - 2));
    font.setBold(bold);
    QTextCharFormat format;
    format.setFont(font);
    return format;
}
} // namespace

QByteArray Filter::archive() const
{
    QByteArray data;
    QDataStream out(&data, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_6_0);
    out << archiveTag << archiveVersion << columnName_ << values_ << not_ << rowIndexes_;
    out << bool(element_);
    if (element_)
        element_->encode(out);
    out << textDrop_;
    out << DocumentRegistry::shared().processToken() << DocumentRegistry::shared().numberFor(sourceDocument_);
    return data;
}

FilterPtr Filter::fromArchive(const QByteArray &data)
{
    QDataStream in(data);
    in.setVersion(QDataStream::Qt_6_0);
    quint32 tag = 0;
    quint32 version = 0;
    in >> tag >> version;
    if (in.status() != QDataStream::Ok || tag != archiveTag || version != archiveVersion)
        return nullptr;
    auto filter = std::make_shared<Filter>();
    bool hasElement = false;
    in >> filter->columnName_ >> filter->values_ >> filter->not_ >> filter->rowIndexes_;
    in >> hasElement;
    if (hasElement && !(filter->element_ = BrowserElement::decode(in)))
        return nullptr;
    quint64 token = 0;
    qint64 document = 0;
    in >> filter->textDrop_ >> token >> document;
    if (in.status() != QDataStream::Ok)
        return nullptr;
    filter->sourceDocument_ = DocumentRegistry::shared().documentFor(token, document);
    return filter;
}

std::unique_ptr<QTextDocument> Filter::stringForImage() const
{
    auto document = std::make_unique<QTextDocument>();
    QTextCursor cursor(document.get());
    if (!textOverride_.isNull())
        cursor.insertText(shortened(textOverride_, overrideLimit));
    else if (element_ && columnName_.isNull())
        writeBrowserItem(cursor);
    else
        writeColumnFilter(cursor);
    return document;
}

void Filter::writeBrowserItem(QTextCursor &cursor) const
{
    if (!textDrop_.isNull()) {
        cursor.insertText(textDrop_);
        return;
    }
    const QUrl icon(QStringLiteral("vorn-icon:element"));
    const QPixmap image = ImageUtil::imageForBrowserElement(element_->browserType(), element_->subtype());
    cursor.document()->addResource(QTextDocument::ImageResource, icon, image.scaled(16, 16));
    QTextImageFormat iconFormat;
    iconFormat.setName(icon.toString());
    iconFormat.setWidth(16);
    iconFormat.setHeight(16);
    iconFormat.setVerticalAlignment(QTextCharFormat::AlignBaseline);
    cursor.insertImage(iconFormat);
    cursor.insertText(QStringLiteral(" ") + element_->name(), tokenFormat(true));
}

void Filter::writeColumnFilter(QTextCursor &cursor) const
{
    cursor.insertText(columnName_ + ':', tokenFormat(true));
    const QTextCharFormat valueFormat = tokenFormat(false);
    if (values_.isEmpty())
        cursor.insertText('\n' + QCoreApplication::translate("quickfilter", "- Empty -"), valueFormat);
    for (const QString &value : values_.mid(0, shownValues))
        cursor.insertText('\n' + shortened(value, valueLimit), valueFormat);
    if (values_.size() > shownValues)
        cursor.insertText(QStringLiteral("\n..."), valueFormat);
}
