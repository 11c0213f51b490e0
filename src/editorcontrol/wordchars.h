#pragma once

#include <QChar>
#include <QRegularExpression>
#include <QString>

#include <array>
#include <atomic>
#include <memory>
#include <mutex>
#include <vector>

// The characters that count as word characters for the rule "word": those of a language's wordchars
// class, judged on whole code points (a character beyond the Basic Multilingual Plane is a word
// character only when the class says so, never because of its surrogates). The Basic Multilingual
// Plane is worked out at once, each further plane when a character of it is first asked about.
// Shared by every language with the same class text.
class WordChars {
public:
    // The class falls back to [\w] when it is empty or does not compile; `problem` then says why.
    static std::shared_ptr<const WordChars> forClass(const QString &wordchars, QString *problem);

    bool contains(char32_t c) const
    {
        if (c < 0x10000)
            return bit(bmp_.data(), c);
        if (c > 0x10FFFF)
            return false;
        return bit(plane(int(c >> 16)), c & 0xFFFF);
    }
    // A UTF-16 unit that is no surrogate; a surrogate is no word character by itself.
    bool containsUnit(char16_t c) const { return bit(bmp_.data(), c); }

    // The character that begins at text[i] / ends just before text[i]; false outside the text.
    bool at(const char16_t *text, qsizetype n, qsizetype i) const
    {
        if (i < 0 || i >= n)
            return false;
        const char16_t c = text[i];
        if (!QChar::isSurrogate(c))
            return containsUnit(c);
        return QChar::isHighSurrogate(c) && i + 1 < n && QChar::isLowSurrogate(text[i + 1])
            && contains(QChar::surrogateToUcs4(c, text[i + 1]));
    }
    bool before(const char16_t *text, qsizetype n, qsizetype i) const
    {
        if (i <= 0 || i > n)
            return false;
        const char16_t c = text[i - 1];
        if (!QChar::isSurrogate(c))
            return containsUnit(c);
        return QChar::isLowSurrogate(c) && i >= 2 && QChar::isHighSurrogate(text[i - 2])
            && contains(QChar::surrogateToUcs4(text[i - 2], c));
    }

private:
    static bool bit(const quint8 *table, char32_t c) { return (table[c >> 3] >> (c & 7)) & 1; }
    const quint8 *plane(int index) const;
    void fill(quint8 *table, char32_t first) const;

    QRegularExpression class_;
    std::array<quint8, 8192> bmp_{};
    mutable std::mutex mutex_;
    mutable std::array<std::atomic<const quint8 *>, 17> planes_{};
    mutable std::vector<std::unique_ptr<quint8[]>> owned_;
};
