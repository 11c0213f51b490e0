#include "xmlgen/tokenlisttools.h"

#include "model/language.h"
#include "xmlgen/xmltext.h"

#include <utility>

namespace TokenListTools {

QStringList splitLines(const QString &text)
{
    if (text.isEmpty())
        return {};
    return text.split(QStringLiteral("\r\n"));
}

QString joinLines(const QStringList &lines)
{
    return lines.join(QStringLiteral("\r\n"));
}

QString sortLines(const QString &text, Order order, Case letterCase)
{
    QStringList lines = splitLines(text);
    QStringList keys = letterCase == Case::Insensitive ? splitLines(text.toLower()) : lines;
    if (keys.size() != lines.size()) // lower case never changes line breaks; guard anyway
        keys = lines;
    const qsizetype n = lines.size();
    for (qsizetype i = 0; i + 1 < n; ++i) {
        for (qsizetype j = i + 1; j < n; ++j) {
            const int c = QString::compare(keys[i], keys[j], Qt::CaseSensitive);
            if (order == Order::Ascending ? c > 0 : c < 0) {
                lines.swapItemsAt(i, j);
                keys.swapItemsAt(i, j);
            }
        }
    }
    return joinLines(lines);
}

QString lowerCase(const QString &text)
{
    return text.toLower();
}

QString titleCase(const QString &text)
{
    QStringList lines = splitLines(text);
    for (QString &line : lines) {
        if (!XmlText::isBlank(line))
            line[0] = line[0].toUpper();
    }
    return joinLines(lines);
}

QString removeAttributesFromLine(const QString &line)
{
    const qsizetype at = line.indexOf(QStringLiteral("::::"));
    return at < 0 ? line : XmlText::trimBlanks(QStringView(line).left(at));
}

QString removeAttributes(const QString &text)
{
    QStringList lines = splitLines(text);
    for (QString &line : lines)
        line = removeAttributesFromLine(line);
    return joinLines(lines);
}

void removeAttributes(Language &language)
{
    for (Tokenset &ts : language.tokensets) {
        ts.tokens = removeAttributes(ts.tokens);
        ts.tokens2 = removeAttributes(ts.tokens2);
    }
}

int nextFontSize(int size)
{
    static constexpr int kSizes[] = {8, 14, 22, 32, 48};
    for (const int next : kSizes)
        if (next > size)
            return next;
    return kSizes[0];
}

} // namespace TokenListTools
