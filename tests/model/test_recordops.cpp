#include "model/recordops.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

Database named(const QStringList &names)
{
    Database db;
    for (const QString &n : names)
        db.languages.append(Language{n, 0, 0, {}, 0, {}, n + u" sample"_s, {}});
    return db;
}

QStringList names(const Database &db)
{
    QStringList out;
    for (const Language &l : db.languages) {
        EXPECT_EQ(l.sampletext, l.name + u" sample"_s); // whole records moved
        out << l.name;
    }
    return out;
}

// Used slots named a, b, c, ... with tokens A, B, C, ...; all included and symmetrical.
Language withTokensets(int count)
{
    Language l;
    for (int k = 0; k < count; ++k)
        l.tokensets[k] = {QString(QChar(u'a' + k % 26)) + QString::number(k / 26), {}, {}, 0, {}, {}, 0, 0, 0, 0, 0,
                          0, 1, 0, 0, 0, 1, {}, QString(QChar(u'A' + k % 26)), {}, 0, {}, {}, {}, {}};
    return l;
}

QString slotNames(const Language &l)
{
    QString out;
    for (int k = 0; k < l.tokensetCount(); ++k)
        out += l.tokensets[k].name.left(1) + l.tokensets[k].tokens + QString::number(l.tokensets[k].included);
    return out;
}

} // namespace

TEST(RecordOps, Languages)
{
    Database db = named({u"a"_s, u"b"_s, u"c"_s});
    EXPECT_EQ(RecordOps::deleteLanguage(db, 1), 1); // the one that moved into its place
    EXPECT_EQ(names(db), QStringList({u"a"_s, u"c"_s}));
    EXPECT_EQ(RecordOps::deleteLanguage(db, 1), 0); // the last: the new last one
    for (int refused : {0, 5}) // never the only one
        EXPECT_EQ(RecordOps::deleteLanguage(db, refused), -1);

    db.languages[0].tokensets[50].validscope[10] = u"x"_s;
    EXPECT_EQ(RecordOps::duplicateLanguage(db, 0, u" a"_s), 1);
    Language copy = db.languages[0];
    copy.name = u" a"_s;
    EXPECT_EQ(db.languages[1], copy);
    EXPECT_EQ(RecordOps::duplicateLanguage(db, 2, u"x"_s), -1);

    // Lower-cased, "_" (0x5F) sorts before the letters, though "Z" (0x5A) would not.
    db = named({u"beta"_s, u"Alpha"_s, u"gamma"_s, u"_x"_s, u"Zeta"_s});
    RecordOps::sortLanguages(db);
    EXPECT_EQ(names(db), QStringList({u"_x"_s, u"Alpha"_s, u"beta"_s, u"gamma"_s, u"Zeta"_s}));
}

TEST(RecordOps, NewTokensetFillsTheFirstFreeSlot)
{
    Language l = withTokensets(3);
    l.tokensets[2].name.clear(); // a freed slot still holding data
    l.tokensets[2].validscope[10] = u"kept"_s;
    EXPECT_EQ(RecordOps::newTokenset(l, u"New Tokenset"_s), 2);
    Tokenset want{u"New Tokenset"_s, u"text"_s, u"list"_s, 65280, u"normal"_s, u"<none>"_s, 16777215,
                  0, 1, 1, 0, 1, 0, 0, 1, 0, 1, u"<none>"_s, {}, {}, 0, u"<NULL>"_s, {}, {}, {}};
    want.validscope.fill(u"<none>"_s);
    want.validscope[10] = u"kept"_s; // like symmetrical, kept from the slot
    EXPECT_EQ(l.tokensets[2], want);

    Language full = withTokensets(Language::kSlots);
    EXPECT_EQ(RecordOps::newTokenset(full, u"x"_s), -1);
    EXPECT_EQ(full, withTokensets(Language::kSlots));
}

TEST(RecordOps, DeleteMoveAndIncludeTokensets)
{
    Language l = withTokensets(4);
    EXPECT_EQ(RecordOps::deleteTokenset(l, 1), 1);
    EXPECT_EQ(slotNames(l), u"aA1cC1dD1"_s);
    // The freed slot loses its name and its check mark only.
    const Tokenset &freed = l.tokensets[3];
    EXPECT_TRUE(freed.name.isEmpty() && freed.included == 0 && freed.symmetrical == 1 && freed.tokens == u"D"_s);
    EXPECT_EQ(RecordOps::deleteTokenset(l, 2), 1); // the last: the one before it
    for (int refused : {2, -1})
        EXPECT_EQ(RecordOps::deleteTokenset(l, refused), -1);

    l = withTokensets(3);
    l.tokensets[0].included = 0;
    EXPECT_EQ(RecordOps::moveTokensetDown(l, 0), 1);
    EXPECT_EQ(RecordOps::moveTokensetUp(l, 2), 1);
    EXPECT_EQ(slotNames(l), u"bB1cC1aA0"_s);
    for (int refused : {0, 3})
        EXPECT_EQ(RecordOps::moveTokensetUp(l, refused), -1);
    for (int refused : {2, 3})
        EXPECT_EQ(RecordOps::moveTokensetDown(l, refused), -1);
    EXPECT_EQ(slotNames(l), u"bB1cC1aA0"_s);

    l.tokensets[4] = withTokensets(5).tokensets[4]; // after the first free slot: not touched
    RecordOps::setAllIncluded(l, false);
    EXPECT_EQ(slotNames(l), u"bB0cC0aA0"_s);
    EXPECT_EQ(l.tokensets[4].included, 1);

    l = withTokensets(1);
    EXPECT_EQ(RecordOps::deleteTokenset(l, 0), -1); // never the only one
}
