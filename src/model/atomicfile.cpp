#include "model/atomicfile.h"

#include <QFileInfo>
#include <QSaveFile>

namespace AtomicFile {

bool write(const QString &path, const QByteArray &bytes, QString *error)
{
    auto fail = [error](const QString &cause) {
        if (error)
            *error = cause;
        return false;
    };
    if (QFileInfo(path).isDir())
        return fail(QStringLiteral("a folder of that name is in the way"));
    // Unbuffered, so that every write reports its own failure.
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return fail(f.errorString());
    if (f.write(bytes) != bytes.size() || !f.flush()) {
        const QString cause = f.errorString();
        f.cancelWriting();
        return fail(cause);
    }
    if (!f.commit())
        return fail(f.errorString());
    return true;
}

} // namespace AtomicFile
