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

struct Store {
    QMutex mutex;
    QHash<Key, QRegularExpression> entries;
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
        const auto it = s.entries.constFind(key);
        if (it != s.entries.constEnd())
            return *it;
    }
    QRegularExpression re(pattern, options);
    re.isValid(); // compiles now, outside the lock
    QMutexLocker lock(&s.mutex);
    if (s.entries.size() >= kMaxEntries)
        s.entries.clear();
    s.entries.insert(key, re);
    return re;
}

void clear()
{
    QMutexLocker lock(&store().mutex);
    store().entries.clear();
}

int size()
{
    QMutexLocker lock(&store().mutex);
    return int(store().entries.size());
}

} // namespace RegexCache
