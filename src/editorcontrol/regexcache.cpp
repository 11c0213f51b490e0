#include "editorcontrol/regexcache.h"

#include <QHash>
#include <QMutex>

namespace RegexCache {

namespace {

struct Key {
    QString pattern;
    int options;
    bool operator==(const Key &) const = default;
};

size_t qHash(const Key &key, size_t seed = 0)
{
    return ::qHash(key.pattern, seed) ^ size_t(key.options);
}

// Two generations: a hit in the older one moves the pattern to the newer one; when the newer one is
// full, it becomes the older one and the oldest patterns are dropped. So the patterns of the language
// being edited stay compiled while memory stays bounded (a compiled pattern takes some kilobytes).
struct Store {
    QMutex mutex;
    QHash<Key, QRegularExpression> current;
    QHash<Key, QRegularExpression> previous;

    void insert(const Key &key, const QRegularExpression &re)
    {
        if (current.size() >= kGenerationSize) {
            previous = std::move(current);
            current.clear();
        }
        current.insert(key, re);
    }
};

Store &store()
{
    static Store s;
    return s;
}

} // namespace

QRegularExpression get(const QString &pattern, QRegularExpression::PatternOptions options)
{
    Store &s = store();
    const Key key{pattern, int(options.toInt())};
    {
        QMutexLocker lock(&s.mutex);
        if (const auto it = s.current.constFind(key); it != s.current.constEnd())
            return *it;
        if (const auto it = s.previous.constFind(key); it != s.previous.constEnd()) {
            const QRegularExpression re = *it;
            s.previous.erase(it);
            s.insert(key, re);
            return re;
        }
    }
    QRegularExpression re(pattern, options);
    [[maybe_unused]] const bool valid = re.isValid(); // compiles now, outside the lock
    QMutexLocker lock(&s.mutex);
    s.insert(key, re);
    return re;
}

void clear()
{
    QMutexLocker lock(&store().mutex);
    store().current.clear();
    store().previous.clear();
}

int size()
{
    QMutexLocker lock(&store().mutex);
    return int(store().current.size() + store().previous.size());
}

} // namespace RegexCache
