// Fitting a converted language into a record: merging what colours alike, the valid-scope and field
// limits, and refusing only what cannot fit.

#include "import/languagefitting.h"
#include "import/languageconversion.h"
#include "import/regextext.h"

#include <gtest/gtest.h>

namespace {

TokensetDraft list(const QString &name, qint32 colour, const QStringList &scopes = {QString()})
{
    TokensetDraft t;
    t.name = name;
    t.id = QStringLiteral("keywords");
    t.source = QStringLiteral("t:") + name;
    t.forecolor = colour;
    t.tokens.push_back({name, true, QString(), {}});
    t.validScopes = scopes;
    return t;
}

TokensetDraft scope(const QString &name, qint32 colour)
{
    TokensetDraft t = list(name, colour);
    t.id = QStringLiteral("strings");
    t.scope = true;
    t.tokens2.push_back({QStringLiteral("end"), true, QString(), {}});
    return t;
}

} // namespace

TEST(Fitting, MergesWhatColoursAlikeAndReportsIt)
{
    LanguageDraft draft;
    draft.name = QStringLiteral("L");
    // 60 tokensets in three colours, all at the outermost level: three tokensets remain.
    for (int i = 0; i < 60; ++i)
        draft.tokensets.push_back(list(QStringLiteral("k%1").arg(i), i % 3));
    Language out;
    ConversionReport report;
    QString problem;
    ASSERT_TRUE(LanguageFitting::fit(draft, QString(), out, report, problem)) << problem.toStdString();
    EXPECT_EQ(out.tokensetCount(), 3);
    EXPECT_EQ(report.count(ConversionReport::Kind::Merged), 57);
    EXPECT_EQ(out.tokensets[0].tokens.count(QStringLiteral("\r\n")), 19);
    EXPECT_EQ(report.text().first(), QStringLiteral("t:k3: merged: tokenset \"k3\" merged into \"k0\" (same colours, same scopes)"));
}

TEST(Fitting, AListOfBareNamesInOneScopeIsDroppedRatherThanColourEveryWord)
{
    // "name" (any word, valid only in "Arith") colours like "$var" (valid at the outermost level too):
    // joined, every word of the text would take the variables' colour. With a list of words at the
    // outermost level ("word") the merge changes little and goes ahead.
    auto draft = [](const QString &outerToken) {
        LanguageDraft d;
        d.tokensets.push_back(scope(QStringLiteral("Arith"), 5));
        d.tokensets.push_back(list(QStringLiteral("var"), 1, {QString(), QStringLiteral("Arith")}));
        d.tokensets.back().tokens.front().text = outerToken;
        d.tokensets.push_back(list(QStringLiteral("name"), 1, {QStringLiteral("Arith")}));
        d.tokensets.back().tokens.front().text = QStringLiteral("[a-z_]+");
        return d;
    };
    Language out;
    ConversionReport report;
    QString problem;
    ASSERT_TRUE(LanguageFitting::fit(draft(QStringLiteral("\\$[a-z]+")), QString(), out, report, problem, {2}));
    EXPECT_EQ(out.tokensets[1].tokens, QStringLiteral("\\$[a-z]+ ::::  :::: True :::: null"));
    EXPECT_EQ(report.text().first(), QStringLiteral("t:name: dropped: tokenset \"name\" takes bare words; joined with \"var\" it would take "
                                                    "them at the outermost level (same colours; a language holds 2 tokensets)"));
    ConversionReport merged;
    ASSERT_TRUE(LanguageFitting::fit(draft(QStringLiteral("[A-Za-z]+")), QString(), out, merged, problem, {2}));
    EXPECT_EQ(merged.count(ConversionReport::Kind::Merged), 1);

    // Where the language converted tells its constructs apart, its own scopes that colour nothing hold its text
    // too (a Makefile's command lines): an embedded language's bare names stay out of them. And a list of an
    // embedded language that takes punctuation of ordinary text ("punct", `/`) does not join one of the outermost
    // level ("dir", `include`), where it would take every `/` of a path; a list of the language itself does.
    auto embedded = [](LanguageDraft d, const QString &name, const QString &token, const QStringList &places) {
        d.tokensets.push_back(list(name, 1, places));
        d.tokensets.back().source = QStringLiteral("e:") + name;
        d.tokensets.back().tokens.front().text = token;
        return d;
    };
    LanguageDraft own;
    own.ownSources = QStringLiteral("t:");
    own.tokensets.push_back(scope(QStringLiteral("Cmd"), 0));
    own.tokensets.back().id = QStringLiteral("parameterblocks");
    LanguageDraft names = embedded(embedded(own, QStringLiteral("var"), QStringLiteral("\\$[a-z]+"), {QStringLiteral("Cmd")}),
                                   QStringLiteral("name"), QStringLiteral("[a-z_]+"), {QStringLiteral("Arith")});
    names.tokensets.insert(names.tokensets.begin() + 1, scope(QStringLiteral("Arith"), 5));
    names.tokensets[1].source = QStringLiteral("e:Arith");
    names.tokensets[1].validScopes = {QStringLiteral("Cmd")};
    ConversionReport inCommands;
    ASSERT_TRUE(LanguageFitting::fit(names, QString(), out, inCommands, problem, {3}));
    EXPECT_EQ(inCommands.text().first(), QStringLiteral("e:name: dropped: tokenset \"name\" takes bare words; joined with \"var\" it would take "
                                                        "them at \"Cmd\" (same colours; a language holds 3 tokensets)"));
    own.tokensets.push_back(list(QStringLiteral("dir"), 1, {QString(), QStringLiteral("Cmd")}));
    own.tokensets.back().tokens.front().text = QStringLiteral("\\binclude\\b");
    LanguageDraft punctuation = embedded(own, QStringLiteral("punct"), QStringLiteral("[/;]"), {QStringLiteral("Cmd")});
    ConversionReport outermost;
    ASSERT_TRUE(LanguageFitting::fit(punctuation, QString(), out, outermost, problem, {2}));
    EXPECT_EQ(outermost.text().first(), QStringLiteral("e:punct: dropped: tokenset \"punct\" takes punctuation or words of ordinary text; joined "
                                                       "with \"dir\" it would take them at the outermost level (same colours; a language holds 2 tokensets)"));
    // With words beside it (`then`), only the punctuation stays out, and the words join.
    LanguageDraft mixed = punctuation;
    mixed.tokensets.back().tokens.push_back({QStringLiteral("\\bthen\\b"), true, QString(), {}});
    ConversionReport someTokens;
    ASSERT_TRUE(LanguageFitting::fit(mixed, QString(), out, someTokens, problem, {2}));
    EXPECT_EQ(someTokens.text().first(), QStringLiteral("e:punct: dropped: tokenset \"punct\": 1 tokens that take punctuation or words of ordinary "
                                                        "text; joined with \"dir\" they would take them at the outermost level (same colours; a "
                                                        "language holds 2 tokensets)"));
    EXPECT_EQ(someTokens.count(ConversionReport::Kind::Merged), 1);
    punctuation.tokensets.back().source = QStringLiteral("t:punct");
    ConversionReport ownPunctuation;
    ASSERT_TRUE(LanguageFitting::fit(punctuation, QString(), out, ownPunctuation, problem, {2}));
    EXPECT_EQ(ownPunctuation.count(ConversionReport::Kind::Merged), 1);

    // A list of an embedded language ("def", a function's definition, in its subshell "Sub") does not join one of the
    // language itself in an identifier's look ("fn", `call`): the language's names would take the subshell's text.
    // A keyword list of the language itself still takes it in.
    LanguageDraft functions;
    functions.ownSources = QStringLiteral("t:");
    functions.tokensets.push_back(scope(QStringLiteral("Sub"), 5));
    functions.tokensets.back().source = QStringLiteral("e:Sub");
    functions.tokensets.push_back(list(QStringLiteral("fn"), 1));
    functions.tokensets.back().tokens.front().text = QStringLiteral("\\bcall\\b");
    functions = embedded(functions, QStringLiteral("def"), QStringLiteral("\\w+\\(\\)"), {QStringLiteral("Sub")});
    for (TokensetDraft &t : functions.tokensets)
        t.id = t.scope ? t.id : QStringLiteral("identifiers");
    ConversionReport subshell;
    ASSERT_TRUE(LanguageFitting::fit(functions, QString(), out, subshell, problem, {2}));
    EXPECT_EQ(subshell.text().first(), QStringLiteral("e:def: dropped: tokenset \"def\": joined with \"fn\" it would carry that list into \"Sub\", "
                                                      "whose text it colours (same colours; a language holds 2 tokensets)"));
    for (TokensetDraft &t : functions.tokensets)
        t.id = t.scope ? t.id : QStringLiteral("keywords");
    ConversionReport keywords;
    ASSERT_TRUE(LanguageFitting::fit(functions, QString(), out, keywords, problem, {2}));
    EXPECT_EQ(keywords.count(ConversionReport::Kind::Merged), 1);

    // An embedded language's words that stand first on a line ("cmds", a shell's command names in Cmd) do not join a
    // list of the outermost level ("dir"), where they would colour the first word of the language's own lines; the
    // next cheapest merge ("kw", also in Sub) goes ahead.
    LanguageDraft lines = embedded(embedded(own, QStringLiteral("cmds"), QStringLiteral("(?<=^|;)rm\\b"), {QStringLiteral("Cmd")}),
                                   QStringLiteral("kw"), QStringLiteral("\\bfi\\b"), {QStringLiteral("Cmd"), QStringLiteral("Sub")});
    lines.tokensets.insert(lines.tokensets.begin() + 1, scope(QStringLiteral("Sub"), 0));
    lines.tokensets[1].id = QStringLiteral("parameterblocks");
    ConversionReport firstWords;
    ASSERT_TRUE(LanguageFitting::fit(lines, QString(), out, firstWords, problem, {4}));
    EXPECT_EQ(firstWords.text().first(), QStringLiteral("e:kw: merged: tokenset \"kw\" merged into \"cmds\" (same colours; a language holds 4 tokensets)"));

    // Lists alike merge where that changes least: "zz" (in Block and Arith) into "kw" (in Block), not "kw" into
    // "name" (any word, in Arith), which came first and would take every word in Block.
    LanguageDraft d = draft(QStringLiteral("\\$[a-z]+"));
    d.tokensets.erase(d.tokensets.begin() + 1);
    d.tokensets.insert(d.tokensets.begin() + 1, scope(QStringLiteral("Block"), 6));
    d.tokensets.push_back(list(QStringLiteral("kw"), 1, {QStringLiteral("Block")}));
    d.tokensets.push_back(list(QStringLiteral("zz"), 1, {QStringLiteral("Block"), QStringLiteral("Arith")}));
    ConversionReport cheapest;
    ASSERT_TRUE(LanguageFitting::fit(d, QString(), out, cheapest, problem, {4}));
    EXPECT_EQ(cheapest.text().first(), QStringLiteral("t:zz: merged: tokenset \"zz\" merged into \"kw\" (same colours; a language holds 4 tokensets)"));

    // A list of bare names ("attr", in Tag) does not join one valid in a coloured scope of the language itself
    // ("eq", also in Head, a heading's text), although that merge is the cheapest: the heading's words would take it.
    LanguageDraft h;
    h.ownSources = QStringLiteral("t:");
    h.tokensets.push_back(scope(QStringLiteral("Tag"), 0));
    h.tokensets.back().id = QStringLiteral("parameterblocks");
    h.tokensets.push_back(scope(QStringLiteral("Head"), 6));
    const std::pair<const char *, QStringList> lists[] = {{"[a-z]+=", {QStringLiteral("Tag"), QStringLiteral("Head")}},
                                                          {"[a-z]+", {QStringLiteral("Tag")}},
                                                          {"[0-9]+", {QString()}},
                                                          {"[0-9]+\\b", {QStringLiteral("Tag"), QStringLiteral("Head")}}};
    for (const auto &[token, places] : lists) {
        h.tokensets.push_back(list(QStringLiteral("l%1").arg(h.tokensets.size()), h.tokensets.size() < 4 ? 1 : 2, places));
        h.tokensets.back().tokens.front().text = QLatin1String(token);
    }
    ConversionReport heading;
    ASSERT_TRUE(LanguageFitting::fit(h, QString(), out, heading, problem, {5}));
    EXPECT_EQ(heading.text().first(), QStringLiteral("t:l5: merged: tokenset \"l5\" merged into \"l4\" (same colours; a language holds 5 tokensets)"));
}

TEST(Fitting, AFewCheapMergesOfAnEmbeddedLanguageSpareTheLanguagesOwnScopes)
{
    // Own scopes A and B (each with five lists of its own) and embedded scopes E1..E4 (one list each) colour
    // alike. Two merges are needed: A with B costs 10, E1 with E2 and E3 with E4 cost 2 each. The own group
    // merges first unless the other's merge is ten times cheaper (2 * 10 > 10), but the two embedded merges
    // together cost less than the own one, so they go first and A and B stay apart.
    LanguageDraft d;
    d.ownSources = QStringLiteral("t:");
    int colour = 10;
    const auto add = [&](const QString &scopeName, bool own, int lists) {
        d.tokensets.push_back(scope(scopeName, 5));
        if (!own)
            d.tokensets.back().source = QStringLiteral("e:") + scopeName;
        for (int i = 0; i < lists; ++i) {
            d.tokensets.push_back(list(scopeName + QString::number(i), colour++, {scopeName}));
            d.tokensets.back().tokens.front().text = QStringLiteral("w%1").arg(colour);
        }
    };
    add(QStringLiteral("A"), true, 5);
    add(QStringLiteral("B"), true, 5);
    for (const char *e : {"E1", "E2", "E3", "E4"})
        add(QLatin1String(e), false, 1);
    Language out;
    ConversionReport report;
    QString problem;
    ASSERT_TRUE(LanguageFitting::fit(d, QString(), out, report, problem, {int(d.tokensets.size()) - 2}));
    EXPECT_EQ(report.text().first(), QStringLiteral("e:E2: merged: tokenset \"E2\" merged into \"E1\" (same colours; a language holds 18 tokensets)"));
    EXPECT_EQ(report.text().at(1), QStringLiteral("e:E4: merged: tokenset \"E4\" merged into \"E3\" (same colours; a language holds 18 tokensets)"));
    EXPECT_EQ(out.tokensets[6].name, QStringLiteral("B"));

    // Three merges needed: A with B (six lists each) costs 12, the embedded ones 2, 8 and 8, 18 together. Merging
    // A and B would still leave two merges to the embedded group: it saves only their costliest, 8.
    d = LanguageDraft();
    d.ownSources = QStringLiteral("t:");
    add(QStringLiteral("A"), true, 6);
    add(QStringLiteral("B"), true, 6);
    for (const auto &[e, lists] : {std::pair{"E1", 1}, {"E2", 1}, {"E3", 4}, {"E4", 4}, {"E5", 4}, {"E6", 4}})
        add(QLatin1String(e), false, lists);
    ConversionReport three;
    ASSERT_TRUE(LanguageFitting::fit(d, QString(), out, three, problem, {int(d.tokensets.size()) - 3}));
    EXPECT_FALSE(three.text().join(u'\n').contains(QStringLiteral("\"B\" merged"))) << three.text().join(u'\n').toStdString();
    EXPECT_EQ(out.tokensets[7].name, QStringLiteral("B"));
}

TEST(Fitting, ScopesMergeUnderTheirNewNameAndTooManyLooksAreRefused)
{
    LanguageDraft draft;
    draft.tokensets.push_back(scope(QStringLiteral("S1"), 1));
    draft.tokensets.push_back(scope(QStringLiteral("S2"), 1));
    draft.tokensets.push_back(list(QStringLiteral("esc"), 2, {QStringLiteral("S1"), QStringLiteral("S2")}));
    Language out;
    ConversionReport report;
    QString problem;
    ASSERT_TRUE(LanguageFitting::fit(draft, QString(), out, report, problem));
    EXPECT_EQ(out.tokensetCount(), 2);
    EXPECT_EQ(out.tokensets[1].validscope[0], QStringLiteral("S1"));
    EXPECT_EQ(out.tokensets[1].validscope[1], QStringLiteral("<none>"));

    // Three scopes alike from language `lang` of a language "m"; the second is entered on a lone ">" inside the first.
    auto threeScopes = [](const QString &lang, const QStringList &names) {
        LanguageDraft d;
        d.ownSources = QStringLiteral("m:");
        for (const QString &name : names) {
            d.tokensets.push_back(scope(name, 1));
            d.tokensets.back().source = lang + u':' + name;
        }
        d.tokensets[1].tokens.front().text = QStringLiteral(">");
        d.tokensets[1].validScopes = {names[0]};
        return d;
    };
    // Scopes of an embedded language merge by what the merge changes, not by their order: "gt" joins "semi"
    // that stands where it does, not the outermost "tag" before it.
    LanguageDraft embedding = threeScopes(QStringLiteral("x"), {QStringLiteral("tag"), QStringLiteral("gt"), QStringLiteral("semi")});
    embedding.tokensets[2].validScopes = {QStringLiteral("tag")};
    embedding.tokensets.push_back(list(QStringLiteral("in semi"), 2, {QStringLiteral("semi")}));
    ConversionReport merged;
    ASSERT_TRUE(LanguageFitting::fit(embedding, QString(), out, merged, problem, {3}));
    EXPECT_EQ(merged.text().first(), QStringLiteral("x:semi: merged: tokenset \"semi\" merged into \"gt\" (same colours; a language holds 3 tokensets)"));
    EXPECT_EQ(out.tokensets[1].validscope[0], QStringLiteral("tag"));
    // The language's own scopes too: "inner" would open inside itself once merged with "top", so "other",
    // standing where "top" does, joins "top".
    ConversionReport ownMerged;
    ASSERT_TRUE(LanguageFitting::fit(threeScopes(QStringLiteral("m"), {QStringLiteral("top"), QStringLiteral("inner"), QStringLiteral("other")}),
                                     QString(), out, ownMerged, problem, {2}));
    EXPECT_EQ(ownMerged.text().first(), QStringLiteral("m:other: merged: tokenset \"other\" merged into \"top\" (same colours; a language holds 2 tokensets)"));

    // A language that embeds two others merges their scopes before its own, which tell where each is entered.
    auto embeddingTwo = [](const QString &second) {
        LanguageDraft d;
        d.ownSources = QStringLiteral("m:");
        for (const QString &source : {QStringLiteral("m:tag"), QStringLiteral("m:code"), QStringLiteral("x:a"), second}) {
            d.tokensets.push_back(scope(source.section(u':', 1), 1));
            d.tokensets.back().source = source;
            d.tokensets.back().tokens.front().text = source.section(u':', 1);
            if (source.startsWith(QLatin1String("m:")))
                d.tokensets.back().validScopes = {QString()};
            else
                d.tokensets.back().validScopes = {source == QStringLiteral("x:a") ? QStringLiteral("code") : QStringLiteral("tag")};
        }
        return d;
    };
    ConversionReport two, one;
    ASSERT_TRUE(LanguageFitting::fit(embeddingTwo(QStringLiteral("y:b")), QString(), out, two, problem, {3}));
    EXPECT_EQ(two.text().first().toStdString(), QStringLiteral("y:b: merged: tokenset \"b\" merged into \"a\" (same colours; a language holds 3 tokensets)").toStdString());
    ASSERT_TRUE(LanguageFitting::fit(embeddingTwo(QStringLiteral("x:b")), QString(), out, one, problem, {3}));
    EXPECT_EQ(one.text().first().toStdString(), QStringLiteral("m:code: merged: tokenset \"code\" merged into \"tag\" (same colours; a language holds 3 tokensets)").toStdString());

    // The own scopes give way when the embedded ones have a merge more than ten times cheaper: "code" (a lone
    // `,` inside "tag") would open at the outermost level and inside itself, while "a" and "b" differ by one list.
    LanguageDraft cheaper = embeddingTwo(QStringLiteral("x:b"));
    cheaper.tokensets[0].tokens.front().text = QStringLiteral(",");
    cheaper.tokensets[1].tokens.front().text = QStringLiteral(",");
    cheaper.tokensets[1].validScopes = {QStringLiteral("tag")};
    cheaper.tokensets[3].validScopes = {QString()};
    cheaper.tokensets[2].validScopes = {QString()};
    cheaper.tokensets.push_back(list(QStringLiteral("in a"), 2, {QStringLiteral("a")}));
    cheaper.tokensets.back().source = QStringLiteral("x:in a");
    ConversionReport embeddedFirst;
    ASSERT_TRUE(LanguageFitting::fit(cheaper, QString(), out, embeddedFirst, problem, {4}));
    EXPECT_EQ(embeddedFirst.text().first().toStdString(), "x:b: merged: tokenset \"b\" merged into \"a\" (same colours; a language holds 4 tokensets)");

    LanguageDraft many;
    for (int i = 0; i < 52; ++i)
        many.tokensets.push_back(list(QStringLiteral("k%1").arg(i), i));
    EXPECT_FALSE(LanguageFitting::fit(many, QString(), out, report, problem));
    EXPECT_EQ(problem, QStringLiteral("52 tokensets remain after merging those that colour alike; a language holds at most 51"));
}

TEST(Fitting, ValidScopesBeyondTenSplitAndAnOpenTokensetNamesNone)
{
    LanguageDraft draft;
    QStringList scopes{QString()};
    for (int i = 0; i < 12; ++i) {
        draft.tokensets.push_back(scope(QStringLiteral("S%1").arg(i), 100 + i));
        scopes += QStringLiteral("S%1").arg(i);
    }
    draft.tokensets.push_back(list(QStringLiteral("word"), 7, scopes));
    // Valid at the outermost level and in the only transparent scope: the record's default, no list.
    draft.tokensets[0].id = QStringLiteral("parameterblocks");
    draft.tokensets.push_back(list(QStringLiteral("open"), 8, {QString(), QStringLiteral("S0")}));
    Language out;
    ConversionReport report;
    QString problem;
    ASSERT_TRUE(LanguageFitting::fit(draft, QString(), out, report, problem)) << problem.toStdString();
    ASSERT_EQ(out.tokensetCount(), 15);
    EXPECT_EQ(out.tokensets[12].validscope[0], QStringLiteral("NULL"));
    EXPECT_EQ(out.tokensets[12].validscope[9], QStringLiteral("S8"));
    EXPECT_EQ(out.tokensets[13].name, QStringLiteral("word (2)"));
    EXPECT_EQ(out.tokensets[13].validscope[0], QStringLiteral("S9"));
    EXPECT_EQ(out.tokensets[13].validscope[2], QStringLiteral("S11"));
    EXPECT_EQ(out.tokensets[13].tokens, out.tokensets[12].tokens);
    EXPECT_EQ(out.tokensets[14].validscope[0], QStringLiteral("<none>"));
}

TEST(Fitting, AScopeThatOnlyBorrowsALookJoinsTheSameConstructInItsOwn)
{
    // "Group" at the outermost level and its copy inside the coloured scope "Sub", which lends it Sub's
    // look; "num" is valid in the copy only. With 52 tokensets the copy goes: Group stands in Sub too
    // and holds num. Fifty lists of their own colours keep anything else from merging.
    LanguageDraft draft;
    draft.ownSources = QStringLiteral("t:");
    draft.tokensets.push_back(scope(QStringLiteral("Sub"), 1));
    draft.tokensets.push_back(scope(QStringLiteral("Group"), 2));
    draft.tokensets.back().id = QStringLiteral("parameterblocks");
    TokensetDraft copy = scope(QStringLiteral("Group (2)"), 1);
    copy.source = QStringLiteral("t:Group");
    copy.borrowedLook = true;
    copy.validScopes = {QStringLiteral("Sub"), QStringLiteral("Group (2)")};
    draft.tokensets.push_back(copy);
    draft.tokensets.push_back(list(QStringLiteral("num"), 3, {QStringLiteral("Group (2)")}));
    for (int i = 0; i < 48; ++i)
        draft.tokensets.push_back(list(QStringLiteral("e%1").arg(i), 10 + i));
    Language out;
    ConversionReport report;
    QString problem;
    ASSERT_TRUE(LanguageFitting::fit(draft, QString(), out, report, problem)) << problem.toStdString();
    ASSERT_EQ(out.tokensetCount(), 51);
    EXPECT_EQ(out.tokensets[1].name, QStringLiteral("Group"));
    EXPECT_EQ(QStringList(out.tokensets[1].validscope.begin(), out.tokensets[1].validscope.begin() + 3),
              QStringList({QStringLiteral("NULL"), QStringLiteral("Sub"), QStringLiteral("Group")}));
    EXPECT_EQ(out.tokensets[2].name, QStringLiteral("num"));
    EXPECT_EQ(out.tokensets[2].validscope[0], QStringLiteral("Group"));
    EXPECT_EQ(report.text().first(), QStringLiteral("t:Group: merged: scope \"Group (2)\" merged into \"Group\" (the same construct; "
                                                    "a language holds 51 tokensets)"));
}

TEST(Fitting, AScopeWhoseOpeningChangesNothingGoesWhenPlacesRunShort)
{
    // "w" is valid in eleven places, "Arg" among them; Arg colours nothing and holds just what is valid
    // where it stands (inside S0), so it goes and w's list fits. Without the shortage Arg stays.
    auto draft = [](int scopes) {
        LanguageDraft d;
        QStringList places{QString()};
        for (int i = 0; i < scopes; ++i) {
            d.tokensets.push_back(scope(QStringLiteral("S%1").arg(i), 1 + i));
            places += QStringLiteral("S%1").arg(i);
        }
        d.tokensets.push_back(scope(QStringLiteral("Arg"), 0));
        d.tokensets.back().id = QStringLiteral("parameterblocks");
        d.tokensets.back().validScopes = {QStringLiteral("S0")};
        d.tokensets.push_back(list(QStringLiteral("w"), 90, places + QStringList{QStringLiteral("Arg")}));
        return d;
    };
    Language out;
    ConversionReport report;
    QString problem;
    ASSERT_TRUE(LanguageFitting::fit(draft(9), QString(), out, report, problem)) << problem.toStdString();
    ASSERT_EQ(out.tokensetCount(), 10);
    EXPECT_EQ(out.tokensets[9].name, QStringLiteral("w"));
    EXPECT_EQ(out.tokensets[9].validscope[9], QStringLiteral("S8"));
    EXPECT_TRUE(report.text().contains(QStringLiteral("t:Arg: approximated: scope \"Arg\" colours nothing and was opened up: what it holds "
                                                      "is valid where it stands (a tokenset holds 10 valid scopes)")))
        << report.text().join(u'\n').toStdString();
    ConversionReport few;
    ASSERT_TRUE(LanguageFitting::fit(draft(3), QString(), out, few, problem));
    EXPECT_EQ(out.tokensets[3].name, QStringLiteral("Arg"));
}

TEST(Fitting, AColouredScopeTakesItsStartsLookAndAListKeepsItsText)
{
    // "Preprocessor Sub" (opened by a keyword, `$(`) takes the keyword's look; "Preprocessor Sub text", any
    // single character in the scope's own look, the last tokenset, keeps its text as it was.
    LanguageDraft draft;
    draft.tokensets.push_back(scope(QStringLiteral("Preprocessor Sub"), 5));
    draft.tokensets.back().id = QStringLiteral("keywords");
    draft.tokensets.back().startLook.push_back(list(QStringLiteral("Keyword"), 2, {}));
    draft.tokensets.push_back(list(QStringLiteral("w"), 3, {QString(), QStringLiteral("Preprocessor Sub")}));
    // So does a variable opened by a special character (`${`); a string opened by a string of another colour
    // keeps its look.
    draft.tokensets.push_back(scope(QStringLiteral("Var"), 6));
    draft.tokensets.back().startLook.push_back(list(QStringLiteral("Special"), 7, {}));
    draft.tokensets.back().startLook.back().id = QStringLiteral("escapeseqs");
    draft.tokensets.push_back(scope(QStringLiteral("Quoted"), 8));
    draft.tokensets.back().startLook.push_back(scope(QStringLiteral("Quote"), 9));
    Language out;
    ConversionReport report;
    QString problem;
    ASSERT_TRUE(LanguageFitting::fit(draft, QString(), out, report, problem)) << problem.toStdString();
    ASSERT_EQ(out.tokensetCount(), 6);
    EXPECT_EQ(out.tokensets[0].name, QStringLiteral("Sub"));
    EXPECT_EQ(out.tokensets[0].forecolor, 2);
    EXPECT_EQ(out.tokensets[1].validscope[1], QStringLiteral("Sub"));
    EXPECT_EQ(out.tokensets[4].name, QStringLiteral("Preprocessor Sub text"));
    EXPECT_EQ(out.tokensets[4].forecolor, 5);
    EXPECT_EQ(out.tokensets[4].tokens, QStringLiteral("\\S ::::  :::: True :::: null"));
    EXPECT_EQ(out.tokensets[4].validscope[0], QStringLiteral("Sub"));
    EXPECT_EQ(out.tokensets[2].name, QStringLiteral("Var start"));
    EXPECT_EQ(out.tokensets[2].forecolor, 7);
    EXPECT_EQ(out.tokensets[5].name, QStringLiteral("Var text"));
    EXPECT_EQ(out.tokensets[5].forecolor, 6);
    EXPECT_EQ(out.tokensets[3].name, QStringLiteral("Quoted"));
    EXPECT_EQ(out.tokensets[3].forecolor, 8);

    // No slot for a text list: a one-line statement that only borrows the colour around it (a `for` in a
    // subshell) takes its start's look all through; a scope with a colour of its own, or over several
    // lines, keeps it.
    LanguageDraft full;
    for (const QString &name : {QStringLiteral("Preprocessor For"), QStringLiteral("Preprocessor Sub"), QStringLiteral("Preprocessor Case")}) {
        full.tokensets.push_back(scope(name, 5 + int(full.tokensets.size())));
        full.tokensets.back().id = QStringLiteral("keywords");
        full.tokensets.back().singleline = name != QStringLiteral("Preprocessor Case");
        full.tokensets.back().borrowedLook = name != QStringLiteral("Preprocessor Sub");
        full.tokensets.back().startLook.push_back(list(QStringLiteral("Keyword"), 2, {}));
    }
    ConversionReport fullReport;
    ASSERT_TRUE(LanguageFitting::fit(full, QString(), out, fullReport, problem, {3})) << problem.toStdString();
    ASSERT_EQ(out.tokensetCount(), 3);
    EXPECT_EQ(out.tokensets[0].name, QStringLiteral("For"));
    EXPECT_EQ(out.tokensets[0].forecolor, 2);
    EXPECT_EQ(out.tokensets[1].forecolor, 6);
    EXPECT_EQ(out.tokensets[2].forecolor, 7);
    EXPECT_TRUE(fullReport.text().contains(QStringLiteral("t:Preprocessor For: approximated: scope \"Preprocessor For\" (now \"For\") takes the look of its start, "
                                                   "the text in it too (no slot is left for the text's look)")));

    // With no slot left, two keyword lists alike in the same places (what two statements opened up leave of
    // their starts) become one, and the slot keeps the text of "Preprocessor For" in its own look.
    LanguageDraft opened;
    opened.tokensets.push_back(full.tokensets.front());
    for (const QString &name : {QStringLiteral("If"), QStringLiteral("While")}) {
        opened.tokensets.push_back(scope(name, 0));
        opened.tokensets.back().id = QStringLiteral("parameterblocks");
        opened.tokensets.back().startLook.push_back(list(QStringLiteral("Keyword"), 2, {}));
        opened.tokensets.push_back(list(name + QStringLiteral(" body"), 20 + int(opened.tokensets.size()), {name}));
    }
    ConversionReport openedReport;
    ASSERT_TRUE(LanguageFitting::fit(opened, QString(), out, openedReport, problem, {5})) << problem.toStdString();
    EXPECT_EQ(out.tokensetCount(), 5) << openedReport.text().join(u'\n').toStdString();
    EXPECT_EQ(out.tokensets[0].name, QStringLiteral("For"));
    EXPECT_EQ(out.tokensets[4].name, QStringLiteral("Preprocessor For text"));
    EXPECT_EQ(out.tokensets[4].forecolor, 5);
    EXPECT_TRUE(openedReport.text().join(u'\n').contains(QStringLiteral("\"Keyword (2)\" merged into \"Keyword\" (same colours, same scopes; a slot for the look of a scope's text)")))
        << openedReport.text().join(u'\n').toStdString();
}

TEST(Fitting, AScopeOnlySomeOfWhoseStartsHaveALookIsOpenedUp)
{
    // "Call" (a keyword start) and "Quote" (a plain bracket) colour nothing and are alike, so they become one;
    // the look would colour the bracket too, so the scope goes: the call's start and its end are a keyword
    // list where the scope stood, the brackets are dropped, and "w", valid in it, is valid there too.
    LanguageDraft draft;
    for (const QString &name : {QStringLiteral("Call"), QStringLiteral("Quote")}) {
        draft.tokensets.push_back(scope(name, 0));
        draft.tokensets.back().id = QStringLiteral("parameterblocks");
        draft.tokensets.back().tokens2.front().text = name == QStringLiteral("Call") ? QStringLiteral("\\)") : QStringLiteral("\\]");
    }
    draft.tokensets[0].startLook.push_back(list(QStringLiteral("Keyword"), 2, {}));
    draft.tokensets.push_back(list(QStringLiteral("w"), 3, {QStringLiteral("Call"), QStringLiteral("Quote"), QStringLiteral("S")}));
    draft.tokensets.push_back(scope(QStringLiteral("S"), 1));
    Language out;
    ConversionReport report;
    QString problem;
    ASSERT_TRUE(LanguageFitting::fit(draft, QString(), out, report, problem)) << problem.toStdString();
    ASSERT_EQ(out.tokensetCount(), 3);
    EXPECT_EQ(out.tokensets[0].name, QStringLiteral("Keyword"));
    EXPECT_EQ(out.tokensets[0].tokens, QStringLiteral("Call ::::  :::: True :::: null\r\n\\) ::::  :::: True :::: null"));
    EXPECT_EQ(out.tokensets[1].name, QStringLiteral("w"));
    EXPECT_EQ(out.tokensets[1].validscope[0], QStringLiteral("S"));
    EXPECT_EQ(out.tokensets[1].validscope[1], QStringLiteral("NULL"));
    EXPECT_TRUE(report.text().contains(QStringLiteral("t:Call: approximated: scope \"Call\" colours nothing and was opened up: what it holds "
                                                      "is valid where it stands (only some of its starts have a look of their own)")))
        << report.text().join(u'\n').toStdString();
    // Alone, the call keeps its look as a scope, and a list keeps the text in it plain; with no slot left for
    // that list, it is opened up as above, and its start stays a keyword.
    draft.tokensets.erase(draft.tokensets.begin() + 1);
    ASSERT_TRUE(LanguageFitting::fit(draft, QString(), out, report, problem));
    EXPECT_EQ(out.tokensets[0].id, QStringLiteral("scopekeywords"));
    EXPECT_EQ(out.tokensets[3].name, QStringLiteral("Plain text"));
    ConversionReport full;
    ASSERT_TRUE(LanguageFitting::fit(draft, QString(), out, full, problem, {3}));
    ASSERT_EQ(out.tokensetCount(), 3);
    EXPECT_EQ(out.tokensets[0].name, QStringLiteral("Keyword"));
    EXPECT_EQ(out.tokensets[0].tokens, QStringLiteral("Call ::::  :::: True :::: null"));
    EXPECT_EQ(full.text().first().toStdString(), "t:Call: approximated: scope \"Call\" colours nothing and was opened up: what it holds "
                                                 "is valid where it stands (no slot is left to keep the look of its start)");
}

TEST(Fitting, AnEmbeddedQuoteMergedIntoTextThatHeldNoneClosesAtItsLineEnd)
{
    // "pure" and "shell" (a macro's arguments of prose and of shell code) merge to fit; the shell's `'`, valid
    // only in "shell", would then open at every apostrophe of the prose: it also closes at a line end, unless
    // a backslash continues the line. Its `"`, valid in both, and the language's own quote stay as they were.
    LanguageDraft draft;
    draft.ownSources = QStringLiteral("m:");
    for (const QString &name : {QStringLiteral("pure"), QStringLiteral("shell")}) {
        draft.tokensets.push_back(scope(name, 1));
        draft.tokensets.back().source = QStringLiteral("m:") + name;
    }
    auto quote = [&](const QString &source, const QString &q, qint32 colour, const QStringList &places) {
        draft.tokensets.push_back(scope(source, colour));
        draft.tokensets.back().source = source;
        draft.tokensets.back().tokens = {{q, true, QString(), {}}};
        draft.tokensets.back().tokens2 = {{q, true, QString(), {}}};
        draft.tokensets.back().validScopes = places;
    };
    quote(QStringLiteral("x:single"), QStringLiteral("'"), 2, {QStringLiteral("shell")});
    quote(QStringLiteral("x:double"), QStringLiteral("\""), 3, {QStringLiteral("pure"), QStringLiteral("shell")});
    quote(QStringLiteral("m:own"), QStringLiteral("`"), 4, {QStringLiteral("shell")});
    Language out;
    ConversionReport report;
    QString problem;
    ASSERT_TRUE(LanguageFitting::fit(draft, QString(), out, report, problem, {4})) << problem.toStdString();
    ASSERT_EQ(out.tokensetCount(), 4);
    EXPECT_EQ(out.tokensets[1].tokens2.section(QStringLiteral(" :::: "), 0, 0).toStdString(), "'|[^\\\\]$");
    EXPECT_EQ(out.tokensets[2].tokens2.section(QStringLiteral(" :::: "), 0, 0).toStdString(), "\"");
    EXPECT_EQ(out.tokensets[3].tokens2.section(QStringLiteral(" :::: "), 0, 0).toStdString(), "`");
    EXPECT_TRUE(report.text().contains(QStringLiteral("x:single: approximated: scope \"x:single\" also closes at a line end without a "
                                                      "backslash: merging \"pure\" and \"shell\" made it valid where it was not")))
        << report.text().join(u'\n').toStdString();
}

TEST(Fitting, FarTooManyTokensetsOpenUpScopesThatColourNothing)
{
    LanguageDraft draft;
    // 30 nested scopes without a colour of their own ("B0" at the outermost level, each next one in
    // the one before), "kw" valid everywhere, and "Str" holding 49 lists of their own colours: 81.
    QStringList everywhere{QString()};
    for (int i = 0; i < 30; ++i) {
        draft.tokensets.push_back(scope(QStringLiteral("B%1").arg(i), 0));
        draft.tokensets.back().id = QStringLiteral("parameterblocks");
        draft.tokensets.back().validScopes = {i == 0 ? QString() : QStringLiteral("B%1").arg(i - 1)};
        everywhere += QStringLiteral("B%1").arg(i);
    }
    draft.tokensets[5].validScopes += QStringLiteral("B5"); // nests in itself too
    // B0's start is a keyword of kw's look: it stays one when B0 goes.
    draft.tokensets[0].startLook.push_back(list(QStringLiteral("Keyword"), 2, {}));
    draft.tokensets.push_back(scope(QStringLiteral("Str"), 1));
    draft.tokensets.push_back(list(QStringLiteral("kw"), 2, everywhere));
    for (int i = 0; i < 49; ++i)
        draft.tokensets.push_back(list(QStringLiteral("e%1").arg(i), 10 + i, {QStringLiteral("Str")}));
    Language out;
    ConversionReport report;
    QString problem;
    ASSERT_TRUE(LanguageFitting::fit(draft, QString(), out, report, problem)) << problem.toStdString();
    // The nesting goes; what it held stays where it stood; the coloured scope keeps its place and
    // contents, and no scope's start is carried into another's places by a merge.
    ASSERT_EQ(out.tokensetCount(), 51);
    EXPECT_EQ(out.tokensets[0].name, QStringLiteral("Keyword"));
    EXPECT_EQ(out.tokensets[0].tokens, QStringLiteral("B0 ::::  :::: True :::: null\r\nkw ::::  :::: True :::: null"));
    // Valid at the outermost level alone (where B5 stood in itself, its place went only at the end).
    EXPECT_EQ(out.tokensets[0].validscope[0], QStringLiteral("NULL"));
    EXPECT_EQ(out.tokensets[0].validscope[1], QStringLiteral("<none>"));
    EXPECT_EQ(out.tokensets[1].name, QStringLiteral("Str"));
    EXPECT_EQ(out.tokensets[2].validscope[0], QStringLiteral("Str"));
    EXPECT_EQ(report.count(ConversionReport::Kind::Merged), 1);
    EXPECT_EQ(report.count(ConversionReport::Kind::Approximated), 30);
    // A scope that nests in itself, opened up, leaves no place of its name behind.
    QSet<QString> names{QStringLiteral("NULL"), QStringLiteral("<none>")};
    for (int i = 0; i < out.tokensetCount(); ++i)
        names.insert(out.tokensets[size_t(i)].name);
    for (int i = 0; i < out.tokensetCount(); ++i)
        for (size_t j = 0; j < 10; ++j)
            EXPECT_TRUE(names.contains(out.tokensets[size_t(i)].validscope[j])) << out.tokensets[size_t(i)].name.toStdString() << " in " << out.tokensets[size_t(i)].validscope[j].toStdString();
    EXPECT_EQ(report.text().first(),
              QStringLiteral("t:B29: approximated: scope \"B29\" colours nothing and was opened up: what it holds is valid "
                             "where it stands (a language holds 51 tokensets)"));
}

TEST(Fitting, FarTooManyTokensetsDropWhatMarksErrorsOfAnEmbeddedLanguage)
{
    // 80 lists of the language itself, no two alike in look and place, one of them marking errors; an
    // embedded language's error scope and a list valid only in it go, the language's own error list stays.
    LanguageDraft draft;
    draft.ownSources = QStringLiteral("t:");
    const QStringList scopes{QString(), QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")};
    for (int i = 0; i < 80; ++i) {
        QStringList places;
        for (int k = 0; k < 4; ++k) {
            if ((i % 15 + 1) & (1 << k))
                places += scopes[k];
        }
        draft.tokensets.push_back(list(QStringLiteral("k%1").arg(i), i / 15, places));
    }
    draft.tokensets[3].error = true;
    for (int k = 1; k < 4; ++k)
        draft.tokensets.push_back(scope(scopes[k], 10 + k));
    draft.tokensets.push_back(scope(QStringLiteral("Err"), 9));
    draft.tokensets.back().source = QStringLiteral("e:err");
    draft.tokensets.back().error = true;
    draft.tokensets.push_back(list(QStringLiteral("in"), 8, {QStringLiteral("Err")}));
    draft.tokensets.back().source = QStringLiteral("e:in");
    Language out;
    ConversionReport report;
    QString problem;
    ASSERT_TRUE(LanguageFitting::fit(draft, QString(), out, report, problem)) << problem.toStdString();
    const QStringList text = report.text();
    EXPECT_TRUE(text.contains(QStringLiteral("e:err: dropped: tokenset \"Err\" marks errors of an embedded language (a language holds 51 tokensets)")))
        << text.join(u'\n').toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("e:in: dropped: tokenset \"in\" is valid in no scope that was kept")));
    EXPECT_EQ(text.filter(QStringLiteral("marks errors")).size(), 1);
    // Just over the limit, nothing is dropped for it.
    draft.tokensets.erase(draft.tokensets.begin() + 30, draft.tokensets.begin() + 60);
    ConversionReport fewer;
    ASSERT_TRUE(LanguageFitting::fit(draft, QString(), out, fewer, problem));
    EXPECT_TRUE(fewer.text().filter(QStringLiteral("marks errors")).isEmpty());
}

TEST(Fitting, ATokenListTooLargeForAFieldLosesGuardsFirst)
{
    LanguageDraft draft;
    TokensetDraft t = list(QStringLiteral("k"), 1);
    t.tokens.front().guards = QStringList{QString(70000, u'a')};
    draft.tokensets.push_back(t);
    // The largest guard goes from every token that gives way to it; a small one stays.
    TokensetDraft two = list(QStringLiteral("m"), 2);
    two.tokens.push_back({QStringLiteral("n"), true, QString(), {}});
    for (TokenDraft &token : two.tokens)
        token.guards = QStringList{QString(40000, u'b'), QStringLiteral("x")};
    draft.tokensets.push_back(two);
    Language out;
    ConversionReport report;
    QString problem;
    ASSERT_TRUE(LanguageFitting::fit(draft, QString(), out, report, problem));
    EXPECT_EQ(out.tokensets[0].tokens, QStringLiteral("k ::::  :::: True :::: null"));
    EXPECT_EQ(out.tokensets[1].tokens, QStringLiteral("(?!x)m ::::  :::: True :::: null\r\n(?!x)n ::::  :::: True :::: null"));
    EXPECT_EQ(report.count(ConversionReport::Kind::Approximated), 2);
    EXPECT_TRUE(report.text().contains(QStringLiteral("t:m: approximated: tokenset \"m\": 2 tokens give way to fewer earlier patterns (the list would not fit a field)")))
        << report.text().join(u'\n').toStdString();
}

TEST(Fitting, TokenTextSurvivesATokenLineAndAnAnsiFile)
{
    TokenDraft token{QStringLiteral(" a::::é "), true, QString(), {QStringLiteral("x|y")}};
    EXPECT_EQ(LanguageFitting::tokenText(token), QStringLiteral("(?!(?:x|y)) a\\:\\:\\:\\:\\x{e9}\\x20"));
    EXPECT_EQ(RegexText::stripExtended(QStringLiteral("a b # c\n [ #] \\ d")), QStringLiteral("ab[ #]\\ d"));
    QString plain;
    EXPECT_TRUE(RegexText::nonCapturing(QStringLiteral("(a)(?P<n>b)(?<=c)[(]"), plain));
    EXPECT_EQ(plain, QStringLiteral("(?:a)(?:b)(?<=c)[(]"));
    EXPECT_FALSE(RegexText::nonCapturing(QStringLiteral("(a)\\1"), plain));
    EXPECT_EQ(RegexText::groupText(QStringLiteral("(?<q>[\"'])x(y(z))"), QStringLiteral("q")), QStringLiteral("[\"']"));
    EXPECT_EQ(RegexText::groupText(QStringLiteral("(?:a)(b(c))"), QStringLiteral("2")), QStringLiteral("c"));
}

TEST(Fitting, FormatsAreToldByContent)
{
    EXPECT_NE(LanguageConversion::converterFor(R"(<?xml version="1.0"?><language id="x" version="2.0"><definitions/></language>)"), nullptr);
    EXPECT_EQ(LanguageConversion::converterFor(R"(<language id="x" version="1.0"><definitions/></language>)"), nullptr);
    EXPECT_EQ(LanguageConversion::converterFor(R"(<language name="x"><tokenset name="a" id="text"/></language>)"), nullptr);
    // A KDE definition has <highlighting> under its <language> root.
    EXPECT_NE(LanguageConversion::converterFor(R"(<language name="x" version="2"><highlighting/></language>)"), nullptr);
    EXPECT_EQ(LanguageConversion::importFilters(),
              QStringList({QStringLiteral("Source Code Files (*.lng)"), QStringLiteral("GtkSourceView language (*.lang)"),
                           QStringLiteral("KDE syntax definition (*.xml)")}));
}
