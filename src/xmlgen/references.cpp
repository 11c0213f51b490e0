#include "xmlgen/references.h"

#include "model/language.h"
#include "xmlgen/memberlistlookup.h"

bool TokensetExists(const Language &language, int index, const QString &name)
{
    (void)index;
    for (const Tokenset &ts : language.tokensets) {
        if (ts.name.isEmpty())
            break;
        if (ts.included == 1 && ts.name == name)
            return true;
    }
    return false;
}

bool MemberlistExists(const MemberlistLookup *lookup, const QString &name)
{
    return lookup && lookup->exists(name);
}
