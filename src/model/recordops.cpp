#include "model/recordops.h"

#include <utility>

namespace RecordOps {

int deleteLanguage(Database &db, int index)
{
    if (db.languages.size() <= 1 || index < 0 || index >= db.languages.size())
        return -1;
    db.languages.removeAt(index);
    return index <= db.upperIndex() ? index : db.upperIndex();
}

int duplicateLanguage(Database &db, int index, const QString &name)
{
    if (index < 0 || index >= db.languages.size())
        return -1;
    Language copy = db.languages[index];
    copy.name = name;
    db.languages.append(std::move(copy));
    return db.upperIndex();
}

void sortLanguages(Database &db)
{
    const int n = int(db.languages.size());
    QStringList lower;
    lower.reserve(n);
    for (const Language &l : db.languages)
        lower.append(l.name.toLower());
    for (int i = 0; i < n - 1; ++i) {
        for (int j = i + 1; j < n; ++j) {
            if (QStringView(lower[i]).compare(QStringView(lower[j])) > 0) {
                std::swap(db.languages[i], db.languages[j]);
                lower.swapItemsAt(i, j);
            }
        }
    }
}

int newTokenset(Language &language, const QString &name)
{
    const int slot = language.tokensetCount();
    if (slot >= Language::kSlots)
        return -1;
    Tokenset &t = language.tokensets[slot];
    t.name = name;
    t.id = QStringLiteral("text");
    t.type = QStringLiteral("list");
    t.tokens.clear();
    t.tokens2.clear();
    t.autoindent = 0;
    t.backcolor = 16777215;
    t.casesensitive = 0;
    t.chain = 0;
    t.enabled = 1;
    t.included = 0;
    t.fontstyle = QStringLiteral("normal");
    t.forecolor = 65280;
    t.hidden = 0;
    t.inheritfrom = QStringLiteral("<none>");
    t.matchbraces = 1;
    t.normalizecase = 1;
    t.singlelinescope = 1;
    t.tmemberlist = QStringLiteral("<none>");
    for (int i = 0; i < 10; ++i)
        t.validscope[i] = QStringLiteral("<none>");
    t.lead.clear();
    t.regexp = 0;
    t.rule = QStringLiteral("<NULL>");
    t.trail.clear();
    return slot;
}

int deleteTokenset(Language &language, int slot)
{
    const int count = language.tokensetCount();
    if (count <= 1 || slot < 0 || slot >= count)
        return -1;
    for (int j = slot; j < count - 1; ++j)
        language.tokensets[j] = language.tokensets[j + 1];
    Tokenset &freed = language.tokensets[count - 1];
    freed.name.clear();
    freed.included = 0;
    return slot < count - 1 ? slot : slot - 1;
}

int moveTokensetUp(Language &language, int slot)
{
    if (slot <= 0 || slot >= language.tokensetCount())
        return -1;
    std::swap(language.tokensets[slot], language.tokensets[slot - 1]);
    return slot - 1;
}

int moveTokensetDown(Language &language, int slot)
{
    if (slot < 0 || slot >= language.tokensetCount() - 1)
        return -1;
    std::swap(language.tokensets[slot], language.tokensets[slot + 1]);
    return slot + 1;
}

void setAllIncluded(Language &language, bool included)
{
    const int count = language.tokensetCount();
    for (int k = 0; k < count; ++k)
        language.tokensets[k].included = included ? 1 : 0;
}

} // namespace RecordOps
