// What the record operations do to the records; the window's list tests check the selection.
#include "model/recordops.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

// Used slots named a0, b0, ... with tokens A, B, ...; all included and symmetrical.
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
    Database db;
    for (const QString &n : {u"beta"_s, u"Alpha"_s, u"gamma"_s, u"_x"_s, u"Zeta"_s})
        db.languages.append(Language{n, 0, 0, {}, 0, {}, n + u" sample"_s, {}});
    // Lower-cased, "_" (0x5F) sorts before the letters, though "Z" (0x5A) would not; whole records move.
    RecordOps::sortLanguages(db);
    QStringList order;
    for (const Language &l : db.languages)
        order << l.name + u"|"_s + l.sampletext;
    EXPECT_EQ(order.join(u' '), u"_x|_x sample Alpha|Alpha sample beta|beta sample gamma|gamma sample Zeta|Zeta sample"_s);

    db.languages[0].tokensets[50].validscope[10] = u"x"_s;
    EXPECT_EQ(RecordOps::duplicateLanguage(db, 0, u" a"_s), 5);
    Language copy = db.languages[0];
    copy.name = u" a"_s;
    EXPECT_EQ(db.languages[5], copy);
    EXPECT_EQ(RecordOps::duplicateLanguage(db, 9, u"x"_s), -1);
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
}

TEST(RecordOps, DeleteMoveAndIncludeTokensets)
{
    Language l = withTokensets(4);
    EXPECT_EQ(RecordOps::deleteTokenset(l, 1), 1);
    EXPECT_EQ(slotNames(l), u"aA1cC1dD1"_s);
    // The freed slot loses its name and its check mark only.
    const Tokenset &freed = l.tokensets[3];
    EXPECT_TRUE(freed.name.isEmpty() && freed.included == 0 && freed.symmetrical == 1 && freed.tokens == u"D"_s);

    l = withTokensets(3);
    l.tokensets[0].included = 0;
    EXPECT_EQ(RecordOps::moveTokensetDown(l, 0), 1);
    EXPECT_EQ(RecordOps::moveTokensetUp(l, 2), 1);
    EXPECT_EQ(slotNames(l), u"bB1cC1aA0"_s);
    l.tokensets[4] = withTokensets(5).tokensets[4]; // after the first free slot: not touched
    RecordOps::setAllIncluded(l, false);
    EXPECT_EQ(slotNames(l), u"bB0cC0aA0"_s);
    EXPECT_EQ(l.tokensets[4].included, 1);
}
