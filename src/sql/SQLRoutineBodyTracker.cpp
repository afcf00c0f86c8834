#include "sql/SQLRoutineBodyTracker.h"

namespace
{

bool isWord(QStringView text, const char *word)
{
    return text.compare(QLatin1String(word), Qt::CaseInsensitive) == 0;
}

} // namespace

void SQLRoutineBodyTracker::take(quint64 type, QStringView text)
{
    if (type == SQLParserComponent::None && text.length() == 1) {
        if (text.at(0) == u'(')
            ++parenthesisDepth_;
        else if (text.at(0) == u')' && parenthesisDepth_ > 0)
            --parenthesisDepth_;
        return;
    }
    if (type != SQLParserComponent::Identifier)
        return;
    if (wordCount_ < int(leadingWords_.size()) &&
        (isWord(text, "create") || isWord(text, "or") || isWord(text, "replace") ||
         isWord(text, "function") || isWord(text, "procedure")))
        leadingWords_[wordCount_] = text.at(0).toLower().unicode();
    ++wordCount_;
    if (!inRoutineDefinition() || parenthesisDepth_ > 0)
        return;
    if (isWord(text, "begin"))
        ++beginDepth_;
    else if (isWord(text, "case") && beginDepth_ > 0)
        ++beginDepth_; // CASE also ends with END, but matters only inside a body
    else if (isWord(text, "end") && beginDepth_ > 0)
        --beginDepth_;
}

bool SQLRoutineBodyTracker::inRoutineDefinition() const
{
    const auto &w = leadingWords_;
    const auto routine = [](char16_t c) { return c == u'f' || c == u'p'; };
    return w[0] == u'c' && (routine(w[1]) || (w[1] == u'o' && w[2] == u'r' && routine(w[3])));
}
