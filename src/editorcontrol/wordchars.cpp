#include "editorcontrol/wordchars.h"

#define PCRE2_CODE_UNIT_WIDTH 16
#include <pcre2.h>

#include <QHash>
#include <QMutex>

namespace {

// Calls mark(from, to) for each match of `pattern` in `subject`, from its start on, matched by the
// regexp library directly with the options QRegularExpression gives it: going through
// QRegularExpression's iterator costs far more a match than the match itself. False, with nothing
// marked, where the library does what the iterator would have to work round (an empty match, an
// error): the caller then asks QRegularExpression.
template <typename Mark>
bool eachMatch(const QString &pattern, const std::vector<char16_t> &subject, Mark mark)
{
    int error = 0;
    PCRE2_SIZE errorOffset = 0;
    pcre2_code *code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern.utf16()), PCRE2_SIZE(pattern.size()),
                                     PCRE2_UTF | PCRE2_UCP, &error, &errorOffset, nullptr);
    if (!code)
        return false;
    const bool jit = pcre2_jit_compile(code, PCRE2_JIT_COMPLETE) == 0;
    pcre2_match_data *data = pcre2_match_data_create_from_pattern(code, nullptr);
    // A long run of word characters (CJK's) takes a deep stack: as much as QRegularExpression allows.
    pcre2_match_context *context = pcre2_match_context_create(nullptr);
    pcre2_jit_stack *stack = jit ? pcre2_jit_stack_create(32 * 1024, 512 * 1024, nullptr) : nullptr;
    if (context && stack)
        pcre2_jit_stack_assign(context, nullptr, stack);
    std::vector<std::pair<PCRE2_SIZE, PCRE2_SIZE>> found;
    bool done = false;
    const auto s = reinterpret_cast<PCRE2_SPTR>(subject.data());
    for (PCRE2_SIZE at = 0; data && context;) {
        const int rc = jit ? pcre2_jit_match(code, s, subject.size(), at, 0, data, context)
                           : pcre2_match(code, s, subject.size(), at, PCRE2_NO_UTF_CHECK, data, context);
        if (rc == PCRE2_ERROR_NOMATCH) {
            done = true;
            break;
        }
        const PCRE2_SIZE *ovector = pcre2_get_ovector_pointer(data);
        if (rc < 0 || ovector[1] <= ovector[0])
            break;
        found.emplace_back(ovector[0], ovector[1]);
        at = ovector[1];
    }
    pcre2_jit_stack_free(stack);
    pcre2_match_context_free(context);
    pcre2_match_data_free(data);
    pcre2_code_free(code);
    if (done)
        for (const auto &[from, to] : found)
            mark(qsizetype(from), qsizetype(to));
    return done;
}

} // namespace

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
    std::vector<char16_t> all(bmp ? 0x10000 : 0x20000);
    if (bmp) {
        for (size_t c = 0; c < 0x10000; ++c)
            all[c] = char16_t(c);
        all[0] = u' ';
        std::fill(all.begin() + 0xD800, all.begin() + 0xE000, u' '); // no surrogate stands alone
    } else {
        for (char32_t c = first; c < first + 0x10000; ++c) {
            all[2 * (c - first)] = QChar::highSurrogate(c);
            all[2 * (c - first) + 1] = QChar::lowSurrogate(c);
        }
    }
    const int unitsPerChar = bmp ? 1 : 2;
    auto mark = [&](qsizetype from, qsizetype to) {
        qsizetype i = from / unitsPerChar;
        const qsizetype end = to / unitsPerChar;
        for (; i < end && (i & 7); ++i)
            table[i >> 3] |= quint8(1u << (i & 7));
        for (; i + 8 <= end; i += 8)
            table[i >> 3] = 0xFF;
        for (; i < end; ++i)
            table[i >> 3] |= quint8(1u << (i & 7));
    };
    // Nothing follows the repeat, so taking it possessively finds the same runs, without the
    // backtracking the engine would keep for every character of a run.
    if (eachMatch(class_.pattern() + u'+', all, mark))
        return;
    const QString text = QString::fromRawData(reinterpret_cast<const QChar *>(all.data()), qsizetype(all.size()));
    for (auto it = class_.globalMatch(text); it.hasNext();) {
        const auto m = it.next();
        mark(m.capturedStart(), m.capturedEnd());
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
