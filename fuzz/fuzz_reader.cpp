// Any bytes given to the definition and member list readers are either read or refused with an
// error; never a crash, a hang or a sanitizer report.
#include "editorcontrol/definitionreader.h"
#include "editorcontrol/memberlistobject.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    LanguageDefinition def;
    DefinitionError error;
    if (!DefinitionReader::read(bytes, QStringLiteral("fuzz.lng"), def, error) && error.problem.isEmpty())
        __builtin_trap();
    MemberListObject list;
    if (!list.loadData(bytes, QStringLiteral("fuzz.mbr")) && list.error().problem.isEmpty())
        __builtin_trap();
    return 0;
}
