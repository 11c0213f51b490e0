// The database loader on arbitrary bytes: it must never crash, hang or allocate beyond what the size
// allows; a file it reads as undamaged must come back byte for byte, and what it writes must read
// back to the same records.
#include "model/databasefile.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    const DatabaseFile::Decoded d = DatabaseFile::decode(bytes);
    const qint64 bound = std::max<qint64>(1, (qint64(size) - 4 + DatabaseFile::kMinLanguageBytes - 1)
                                                 / DatabaseFile::kMinLanguageBytes);
    if (d.languages.isEmpty() || d.languages.size() > bound || d.damaged == d.problem.isEmpty())
        std::abort();

    QByteArray out;
    if (!DatabaseFile::encode(d.languages, out))
        std::abort(); // every text read fits its 16-bit length again
    if (!d.damaged && size > 0 && out != bytes)
        std::abort();
    const DatabaseFile::Decoded again = DatabaseFile::decode(out);
    if (again.damaged || again.languages != d.languages)
        std::abort();
    return 0;
}
