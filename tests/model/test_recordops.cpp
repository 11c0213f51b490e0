#include "model/recordops.h"

#include <gtest/gtest.h>

namespace {

Database named(std::initializer_list<const char *> names)
{
    Database db;
    for (const char *n : names) {
        Language l;
        l.name = QString::fromUtf8(n);
        l.sampletext = l.name + QStringLiteral(" sample");
        db.languages.append(l);
    }
    return db;
}

QStringList names(const Database &db)
{
    QStringList out;
    for (const Language &l : db.languages)
        out << l.name;
    return out;
}

// A language whose used slots are named a, b, c, ... with tokens A, B, C, ...
Language withTokensets(int count)
{
    Language l;
    for (int k = 0; k < count; ++k) {
        l.tokensets[k].name = QString(QChar('a' + k % 26)) + QString::number(k / 26);
        l.tokensets[k].tokens = l.tokensets[k].name.toUpper();
        l.tokensets[k].included = 1;
        l.tokensets[k].symmetrical = 1;
    }
    return l;
}

QStringList slotNames(const Language &l)
{
    QStringList out;
    for (int k = 0; k < l.tokensetCount(); ++k)
        out << l.tokensets[k].name;
    return out;
}

} // namespace

TEST(RecordOps, DeleteLanguage)
{
    Database db = named({"a", "b", "c"});
    EXPECT_EQ(RecordOps::deleteLanguage(db, 1), 1); // the one that moved into its place
    EXPECT_EQ(names(db), QStringList({"a", "c"}));
    EXPECT_EQ(db.languages[1].sampletext, QStringLiteral("c sample"));
    EXPECT_EQ(RecordOps::deleteLanguage(db, 1), 0); // the last: the new last one
    EXPECT_EQ(RecordOps::deleteLanguage(db, 0), -1); // never the only one
    EXPECT_EQ(RecordOps::deleteLanguage(db, 5), -1);
    EXPECT_EQ(names(db), QStringList({"a"}));
}

TEST(RecordOps, DuplicateLanguageCopiesTheWholeRecord)
{
    Database db = named({"a", "b"});
    db.languages[0].tokensets[50].validscope[10] = QStringLiteral("x");
    EXPECT_EQ(RecordOps::duplicateLanguage(db, 0, QStringLiteral("  copy")), 2);
    Language expected = db.languages[0];
    expected.name = QStringLiteral("  copy");
    EXPECT_EQ(db.languages[2], expected);
    EXPECT_EQ(RecordOps::duplicateLanguage(db, 3, QStringLiteral("x")), -1);
}

TEST(RecordOps, SortIgnoresCaseAndMovesWholeRecords)
{
    // Lower-cased, "_" (0x5F) sorts before the letters, though "Z" (0x5A) would not.
    Database db = named({"beta", "Alpha", "gamma", "_x", "Zeta"});
    RecordOps::sortLanguages(db);
    EXPECT_EQ(names(db), QStringList({"_x", "Alpha", "beta", "gamma", "Zeta"}));
    for (const Language &l : db.languages)
        EXPECT_EQ(l.sampletext, l.name + QStringLiteral(" sample"));
}

TEST(RecordOps, NewTokensetFillsTheFirstFreeSlot)
{
    Language l = withTokensets(2);
    l.tokensets[2].symmetrical = 1;
    l.tokensets[2].validscope[10] = QStringLiteral("kept");
    l.tokensets[2].tokens = QStringLiteral("old");
    EXPECT_EQ(RecordOps::newTokenset(l, QStringLiteral("New Tokenset")), 2);
    const Tokenset &t = l.tokensets[2];
    EXPECT_EQ(t.name, QStringLiteral("New Tokenset"));
    EXPECT_EQ(t.id, QStringLiteral("text"));
    EXPECT_EQ(t.type, QStringLiteral("list"));
    EXPECT_TRUE(t.tokens.isEmpty() && t.tokens2.isEmpty() && t.lead.isEmpty() && t.trail.isEmpty());
    EXPECT_EQ(t.forecolor, 65280);
    EXPECT_EQ(t.backcolor, 16777215);
    EXPECT_EQ(t.fontstyle, QStringLiteral("normal"));
    EXPECT_EQ(t.inheritfrom, QStringLiteral("<none>"));
    EXPECT_EQ(t.tmemberlist, QStringLiteral("<none>"));
    EXPECT_EQ(t.rule, QStringLiteral("<NULL>"));
    const qint32 flags[] = {t.autoindent, t.casesensitive, t.chain, t.enabled, t.included, t.hidden,
                            t.matchbraces, t.normalizecase, t.singlelinescope, t.regexp, t.symmetrical};
    const qint32 want[] = {0, 0, 0, 1, 0, 0, 1, 1, 1, 0, 1};
    EXPECT_TRUE(std::equal(std::begin(flags), std::end(flags), std::begin(want)));
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(t.validscope[i], QStringLiteral("<none>"));
    EXPECT_EQ(t.validscope[10], QStringLiteral("kept"));

    Language full = withTokensets(Language::kSlots);
    const Language before = full;
    EXPECT_EQ(RecordOps::newTokenset(full, QStringLiteral("x")), -1);
    EXPECT_EQ(full, before);
}

TEST(RecordOps, DeleteTokenset)
{
    Language l = withTokensets(4);
    EXPECT_EQ(RecordOps::deleteTokenset(l, 1), 1);
    EXPECT_EQ(slotNames(l), QStringList({"a0", "c0", "d0"}));
    EXPECT_EQ(l.tokensets[1].tokens, QStringLiteral("C0"));
    // The freed slot loses its name and its check mark only.
    EXPECT_TRUE(l.tokensets[3].name.isEmpty());
    EXPECT_EQ(l.tokensets[3].included, 0);
    EXPECT_EQ(l.tokensets[3].tokens, QStringLiteral("D0"));
    EXPECT_EQ(l.tokensets[3].symmetrical, 1);

    EXPECT_EQ(RecordOps::deleteTokenset(l, 2), 1); // the last: the one before it
    EXPECT_EQ(slotNames(l), QStringList({"a0", "c0"}));
    EXPECT_EQ(RecordOps::deleteTokenset(l, 2), -1);  // not a used slot
    EXPECT_EQ(RecordOps::deleteTokenset(l, -1), -1);
    EXPECT_EQ(RecordOps::deleteTokenset(l, 0), 0);
    EXPECT_EQ(RecordOps::deleteTokenset(l, 0), -1); // never the only one
    EXPECT_EQ(slotNames(l), QStringList({"c0"}));
}

TEST(RecordOps, MoveTokenset)
{
    Language l = withTokensets(3);
    l.tokensets[0].included = 0;
    EXPECT_EQ(RecordOps::moveTokensetDown(l, 0), 1);
    EXPECT_EQ(slotNames(l), QStringList({"b0", "a0", "c0"}));
    EXPECT_EQ(l.tokensets[1].included, 0);
    EXPECT_EQ(RecordOps::moveTokensetUp(l, 2), 1);
    EXPECT_EQ(slotNames(l), QStringList({"b0", "c0", "a0"}));

    const Language before = l;
    EXPECT_EQ(RecordOps::moveTokensetUp(l, 0), -1);
    EXPECT_EQ(RecordOps::moveTokensetDown(l, 2), -1);
    EXPECT_EQ(RecordOps::moveTokensetDown(l, 3), -1);
    EXPECT_EQ(RecordOps::moveTokensetUp(l, 3), -1);
    EXPECT_EQ(l, before);
    Language single = withTokensets(1);
    EXPECT_EQ(RecordOps::moveTokensetDown(single, 0), -1);
}

TEST(RecordOps, SetAllIncludedTouchesUsedSlotsOnly)
{
    Language l = withTokensets(3);
    l.tokensets[5].name = QStringLiteral("after the end");
    l.tokensets[5].included = 1;
    RecordOps::setAllIncluded(l, false);
    EXPECT_EQ(l.tokensets[0].included + l.tokensets[1].included + l.tokensets[2].included, 0);
    EXPECT_EQ(l.tokensets[5].included, 1);
    RecordOps::setAllIncluded(l, true);
    EXPECT_EQ(l.tokensets[0].included + l.tokensets[1].included + l.tokensets[2].included, 3);
    EXPECT_EQ(l.tokensets[3].included, 0);
}
