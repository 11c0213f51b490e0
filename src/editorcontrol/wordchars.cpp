#include "editorcontrol/wordchars.h"

#include <QHash>
#include <QMutex>

std::shared_ptr<const WordChars> WordChars::forClass(const QString &wordchars, QString *problem)
{
    // Every reload of a language asks for the same class: tables are kept by class text.
    static QMutex mutex;
    static QHash<QString, std::shared_ptr<const WordChars>> tables;
    QMutexLocker lock(&mutex);
    if (auto it = tables.constFind(wordchars); it != tables.constEnd())
        return *it;

    auto table = std::make_shared<WordChars>();
    table->class_ = QRegularExpression(QStringLiteral("(?:%1)+").arg(wordchars),
                                       QRegularExpression::UseUnicodePropertiesOption);
    const bool usable = !wordchars.isEmpty() && table->class_.isValid();
    if (!usable) {
        if (!wordchars.isEmpty() && problem)
            *problem = table->class_.errorString();
        table->class_ = QRegularExpression(QStringLiteral("[\\w]+"), QRegularExpression::UseUnicodePropertiesOption);
    }
    table->fill(table->bmp_.data(), 0);
    if (usable) { // a class that does not compile is reported at every load
        if (tables.size() >= 64)
            tables.clear();
        tables.insert(wordchars, table);
    }
    return table;
}

// Tests the class once against every character of the plane that begins at `first`.
void WordChars::fill(quint8 *table, char32_t first) const
{
    const bool bmp = first == 0;
    QString all;
    all.reserve(bmp ? 65536 : 131072);
    for (char32_t c = first; c < first + 0x10000; ++c) {
        if (bmp)
            all.append((c == 0 || QChar::isSurrogate(c)) ? QChar(u' ') : QChar(char16_t(c)));
        else
            all.append(QChar::fromUcs4(c));
    }
    const int unitsPerChar = bmp ? 1 : 2;
    for (auto it = class_.globalMatch(all); it.hasNext();) {
        const auto m = it.next();
        for (qsizetype i = m.capturedStart() / unitsPerChar; i < m.capturedEnd() / unitsPerChar; ++i)
            table[i >> 3] |= quint8(1u << (i & 7));
    }
}

const quint8 *WordChars::plane(int index) const
{
    if (const quint8 *p = planes_[size_t(index)].load(std::memory_order_acquire))
        return p;
    std::lock_guard lock(mutex_);
    if (const quint8 *p = planes_[size_t(index)].load(std::memory_order_acquire))
        return p;
    auto table = std::make_unique<quint8[]>(8192);
    std::fill_n(table.get(), 8192, quint8(0));
    fill(table.get(), char32_t(index) << 16);
    planes_[size_t(index)].store(table.get(), std::memory_order_release);
    owned_.push_back(std::move(table));
    return owned_.back().get();
}
