#include "generator/TaggedSections.h"

#include "core/Conversions.h"

namespace TaggedSections {

QString FindSectionB(const QString& text, const QString& startTag, const QString& endTag)
{
    if (text.isEmpty())
        return QString();
    const qsizetype s = text.indexOf(startTag, 0, Qt::CaseInsensitive);
    if (s < 0)
        return QString();
    const qsizetype p = s + startTag.size();
    const qsizetype q = text.indexOf(endTag, p, Qt::CaseInsensitive);
    if (q >= 0)
        return Conversions::Trim(text.mid(p, q - p));
    return Conversions::Trim(text.mid(p));
}

QString RemoveSection(const QString& text, const QString& startTag, const QString& endTag)
{
    const qsizetype s = text.indexOf(startTag, 0, Qt::CaseInsensitive);
    if (s >= 0) {
        const qsizetype e = text.indexOf(endTag, s + 1, Qt::CaseInsensitive);
        if (e >= 0)
            return Conversions::Trim(text.left(s) + text.mid(e + endTag.size()));
    }
    return Conversions::Trim(text);
}

} // namespace TaggedSections
