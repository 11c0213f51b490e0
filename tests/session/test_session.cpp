// The session's operations, their undo steps and the unsaved state, without a window.
#include "session/sessionfixture.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>

#include <algorithm>

using F = RecordFields::FieldId;
using S = EditSession;

// Each operation is one named step that marks unsaved work (the property test takes them back).
TEST_F(SessionTest, EveryOperationIsOneNamedStepThatUndoAndRedoReplay)
{
    const QString c = TestUtil::sourcePath(QStringLiteral("data/languages/c.lng"));
    const struct {
        const char *step;
        std::function<void(S &)> run;
        std::function<bool(const S &)> done;
    } cases[] = {
        {"Change Hidden", [](S &s) { s.setField(F::Hidden, 1); }, [](const S &s) { return s.tokenset().hidden == 1; }},
        {"Change Apply Case", [](S &s) { s.setField(F::ApplyCase, 1); }, [](const S &s) { return s.language().applycase; }},
        {"Rename Tokenset", [](S &s) { s.renameTokenset(QStringLiteral("B")); }, [](const S &s) { return s.tokenset().name == u"B"; }},
        {"Exclude Tokenset", [](S &s) { s.setIncluded(9, false); }, [](const S &s) { return !s.language().tokensets[9].included; }},
        {"Unselect All Tokensets", [](S &s) { s.setAllIncluded(false); }, [](const S &s) { return !s.language().tokensets[13].included; }},
        {"Delete Tokenset", [](S &s) { s.deleteTokenset(); }, [](const S &s) { return s.language().tokensetCount() == 13; }},
        {"New Tokenset", [](S &s) { s.newTokenset(QStringLiteral("L")); }, [](const S &s) { return s.currentTokenset() == 14; }},
        {"Move Tokenset Down", [](S &s) { s.moveTokenset(1); }, [](const S &s) { return s.currentTokenset() == 1; }},
        {"Sort Tokens", [](S &s) { s.selectTokenset(9); s.rewriteTokens(S::TokenTool::Sort); },
         [](const S &s) { return s.tokenset().tokens.startsWith(u"begin"); }},
        {"Rename Language", [](S &s) { s.renameLanguage(QStringLiteral("Z")); }, [](const S &s) { return s.language().name == u"Z"; }},
        {"Delete Language", [](S &s) { s.deleteLanguage(); }, [](const S &s) { return s.db().languages.size() == 2; }},
        {"Duplicate Language", [](S &s) { s.duplicateLanguage(QStringLiteral("D")); }, [](const S &s) { return s.currentLanguage() == 3; }},
        {"Sort Languages", [](S &s) { s.renameLanguage(QStringLiteral("zz")); s.sortLanguages(); },
         [](const S &s) { return s.db().languages[2].name == u"zz"; }},
        {"New Language", [](S &s) { s.newLanguage(QStringLiteral("M")); }, [](const S &s) { return s.language().name == u"M"; }},
        {"Import Language", [&c](S &s) { s.importLanguage(c, true); }, [](const S &s) { return s.db().languages.size() == 4; }},
        {"Remove Token Attributes (All Languages)",
         [](S &s) { s.setField(F::Tokens, QStringLiteral("a :::: ListMembers")); s.removeAttributesAllLanguages(); },
         [](const S &s) { return s.tokenset().tokens == u"a"; }},
    };
    for (const auto &c : cases) {
        open();
        c.run(*session);
        EXPECT_TRUE(c.done(*session)) << c.step;
        EXPECT_EQ(undo().undoText(), QLatin1String(c.step));
        EXPECT_TRUE(session->isDirty()) << c.step;
    }
}

TEST_F(SessionTest, RefusedOperationsAndSelectingRecordNothing)
{
    session->renameTokenset(QStringLiteral("a\x07")); // characters a file cannot hold are refused
    session->setField(F::Tokens, QStringLiteral("x\x0c"), true);
    EXPECT_EQ(prompts.asked.filter(QStringLiteral("U+00")).size(), 2);
    session->moveTokenset(-1); // the first one cannot go up
    session->renameTokenset(QStringLiteral("  "));
    session->setField(F::Hidden, session->tokenset().hidden); // unchanged
    session->selectLanguage(1);
    session->selectTokenset(3);
    session->selectLanguage(2); // no tokensets
    EXPECT_FALSE(session->deleteTokenset());
    session->setField(F::Hidden, 1);
    for (int k = 0; k < Language::kSlots; ++k)
        session->newTokenset(QStringLiteral("T%1").arg(k));
    EXPECT_EQ(session->newTokenset(QStringLiteral("One too many")), -1);
    EXPECT_EQ(undo().count(), Language::kSlots);
}

// Keystrokes in one box join one step until a pause, another box or the end of typing.
TEST_F(SessionTest, TypingIsOneStepPerRun)
{
    session->setTypingPause(1 << 30);
    for (const char *text : {"a", "ab", "abc"})
        session->setField(F::Tokens, QString::fromLatin1(text), true);
    EXPECT_EQ(undo().undoText(), QStringLiteral("Edit Tokens"));
    session->setField(F::Lead, QStringLiteral("x"), true); // another box
    session->endTyping();
    session->setField(F::Lead, QStringLiteral("xy"), true);
    session->setTypingPause(-1); // every keystroke comes after a pause
    session->setField(F::Lead, QStringLiteral("xyz"), true);
    EXPECT_EQ(undo().count(), 4);
    undo().setIndex(1);
    EXPECT_TRUE(session->tokenset().tokens == u"abc" && session->tokenset().lead.isEmpty());

    // Typing back to the start leaves no step; a saved state is never joined.
    session->setTypingPause(1 << 30);
    session->setField(F::Tokens, QStringLiteral("abcq"), true);
    session->setField(F::Tokens, QStringLiteral("abc"), true);
    EXPECT_EQ(undo().index(), 1);
    session->setField(F::Tokens, QStringLiteral("abcq"), true);
    session->save();
    session->setField(F::Tokens, QStringLiteral("abcqq"), true);
    EXPECT_EQ(undo().index(), 3);
}

// Save marks the state clean, undoing back to it is clean again; reload and restore clear the steps.
TEST_F(SessionTest, TheUnsavedMarkFollowsSaveUndoAndReload)
{
    QList<bool> marks;
    QObject::connect(session.get(), &EditSession::dirtyChanged, [&](bool dirty) { marks << dirty; });
    session->setField(F::Hidden, 1);
    ASSERT_EQ(session->save(), EditSession::SaveResult::Saved);
    session->setField(F::Chain, 0);
    undo().undo(); // back to the saved state
    undo().undo(); // before it
    undo().redo();
    session->applyManualXml(workingFile());
    session->setMarginImageFolder(folder.file(QStringLiteral("pics")));
    EXPECT_FALSE(session->isDirty());
    EXPECT_EQ(marks, QList<bool>({true, false, true, false, true, false}));

    session->setField(F::Hidden, 0);
    session->backup();
    session->reload();
    EXPECT_TRUE(undo().count() == 0 && !session->isDirty() && session->tokenset().hidden == 1);
    session->setField(F::Hidden, 0);
    session->restore();
    EXPECT_TRUE(undo().count() == 0 && session->tokenset().hidden == 1);
    EXPECT_EQ(session->preview().registry().language(0)->name(), QStringLiteral("XML"));
}

// Apply shows the manual XML and its undo the generated again. While the XML pane holds manual
// changes, selecting another language asks first: Cancel keeps the selection on the pane's language,
// and Save names the file after the language the pane shows.
TEST_F(SessionTest, ManualChangesKeepTheirLanguage)
{
    const QString generated = workingFile();
    session->applyManualXml(QStringLiteral("<language"));
    EXPECT_EQ(prompts.asked.last(), QStringLiteral("Error: Error reading manually changed language: Basic"));
    EXPECT_EQ(workingFile(), QStringLiteral("<language\r\n"));
    undo().undo();
    EXPECT_EQ(workingFile(), generated);
    session->editManualXml(generated + QStringLiteral("<!-- typed -->"));
    prompts.answers = {false, false};
    EXPECT_FALSE(session->selectLanguage(1));
    EXPECT_EQ(session->currentLanguage(), 0);
    EXPECT_TRUE(prompts.asked.last().startsWith(QStringLiteral("Write XML: Manual changes will be lost.")));
    session->renameLanguage(QStringLiteral("Renamed")); // Cancel: nothing changes
    EXPECT_EQ(session->language().name, QStringLiteral("Basic"));
    EXPECT_EQ(session->preview().paneLanguageName(), QStringLiteral("Basic"));
    ASSERT_TRUE(session->saveManualXml(QStringLiteral("<language name=\"Basic\">")));
    EXPECT_TRUE(folder.exists(QStringLiteral("language_def/Basic.lng")));
    EXPECT_FALSE(folder.exists(QStringLiteral("language_def/Renamed.lng")));

    EXPECT_TRUE(session->selectLanguage(1)); // OK: on to the next
    session->renameLanguage(QStringLiteral("../xml")); // Save stays inside its folder
    EXPECT_FALSE(session->saveManualXml(QStringLiteral("<language/>")));
    EXPECT_EQ(folder.read(QStringLiteral("xml.lng")), TestUtil::readFile(TestUtil::sourcePath(QStringLiteral("data/xml.lng"))));
}

// A working file that cannot be written is reported once per cause, not at every keystroke.
TEST_F(SessionTest, AFailedWriteIsReportedOncePerCause)
{
    QFile::remove(folder.file(QStringLiteral("varlex.lng")));
    QDir().mkpath(folder.file(QStringLiteral("varlex.lng/blocked")));
    prompts.asked.clear();
    for (const char *text : {"a", "ab", "abc"})
        session->setField(F::Tokens, QString::fromLatin1(text), true);
    ASSERT_EQ(prompts.asked.size(), 1);
    EXPECT_TRUE(prompts.asked[0].contains(QStringLiteral("varlex.lng")));
    EXPECT_EQ(session->tokenset().tokens, QStringLiteral("abc"));
}

// Another editor's grammar imports as one step, and the conversion report reaches the status pane.
TEST_F(SessionTest, ImportingAGtkSourceViewLanguageConvertsItInOneStep)
{
    folder.write(QStringLiteral("g.lang"), R"(<language id="g" name="Gee" version="2.0"><styles>
      <style id="kw" name="Word" map-to="def:keyword"/></styles><definitions>
      <context id="g"><include>
        <context id="k" style-ref="kw"><keyword>go</keyword></context>
        <context id="u" style-ref="kw"><keyword>up</keyword></context>
      </include></context></definitions></language>)");
    QStringList status;
    QObject::connect(&session->preview(), &PreviewPipeline::statusTextAppended, [&status](const QString &t) { status += t; });
    const int before = int(session->db().languages.size());
    const EditSession::Imported imported = session->importLanguage(folder.file(QStringLiteral("g.lang")), true);
    EXPECT_TRUE(imported.problem.isEmpty()) << imported.problem.toStdString();
    ASSERT_EQ(session->db().languages.size(), before + 1);
    EXPECT_EQ(session->language().name, QStringLiteral("Gee"));
    EXPECT_EQ(session->language().tokensetCount(), 1);
    EXPECT_EQ(undo().undoText(), QStringLiteral("Import Language"));
    ASSERT_FALSE(status.isEmpty());
    EXPECT_TRUE(status.last().contains(QStringLiteral("g:u: merged: tokenset \"Word (2)\" merged into \"Word\"")));
    EXPECT_TRUE(status.last().endsWith(QStringLiteral("Gee: 1 tokensets; 0 approximated, 1 merged, 0 dropped")));
    undo().undo();
    EXPECT_EQ(session->db().languages.size(), before);
}

// With coalesced typing, keystrokes that arrive before the event loop runs share one rebuild of the
// preview, with the last text; any other operation runs the waiting rebuild first.
TEST_F(SessionTest, TypedKeysWaitingTogetherShareOneRebuild)
{
    session->setCoalescedTyping(true);
    int rebuilds = 0;
    QObject::connect(&session->preview(), &PreviewPipeline::previewXml, [&] { ++rebuilds; });
    const QString tokens = session->tokenset().tokens;
    for (const char *typed : {"a", "ab", "abc"})
        session->setField(F::Tokens, tokens + QString::fromLatin1(typed), true);
    EXPECT_EQ(rebuilds, 0);
    QCoreApplication::processEvents();
    EXPECT_EQ(rebuilds, 1);
    EXPECT_TRUE(workingFile().contains(QStringLiteral(">abc<")) || workingFile().contains(QStringLiteral("abc")));
    EXPECT_EQ(cachedXml(), rebuiltXml());

    session->setField(F::Tokens, tokens + QStringLiteral("abcd"), true);
    session->selectTokenset(1); // the waiting rebuild belongs to the tokenset typed in
    EXPECT_EQ(rebuilds, 2);
    QCoreApplication::processEvents();
    EXPECT_EQ(rebuilds, 2);
    EXPECT_TRUE(workingFile().contains(QStringLiteral("abcd")));
    EXPECT_EQ(cachedXml(), rebuiltXml());
}

// Command-line writers racing the window's saves: a window save writes only a file that is still
// the one it loaded or saved, checked and written under the lock, so every change a writer reported
// as saved stays in the file.
TEST_F(SessionTest, CommandLineWritersRacingTheWindowsSaveLoseNothing)
{
    folder.write(QStringLiteral("a.lng"), "<language name=\"A\"><tokenset name=\"K\"><tokens><token text=\"if\"/></tokens></tokenset></language>");
    const qsizetype before = session->db().languages.size();
    QProcess writers[8];
    for (QProcess &p : writers)
        p.start(QStringLiteral(VARLEX_CLI_PATH), {QStringLiteral("--folder"), folder.path(), QStringLiteral("import"), folder.file(QStringLiteral("a.lng"))});
    int windowSaves = 0;
    for (int hidden = 0; std::any_of(std::begin(writers), std::end(writers), [](QProcess &p) { return p.state() != QProcess::NotRunning; }); hidden ^= 1) {
        session->setField(F::Hidden, hidden);
        if (session->save() == EditSession::SaveResult::Saved)
            ++windowSaves;
        else
            session->load(); // what the user would do after the question: take the other program's file
        QCoreApplication::processEvents();
    }
    int imported = 0;
    for (QProcess &p : writers) {
        p.waitForFinished(30000);
        imported += p.exitCode() == 0;
    }
    session->load();
    EXPECT_EQ(session->db().languages.size(), before + imported) << windowSaves << " window saves";
    EXPECT_GT(imported, 0);
}
