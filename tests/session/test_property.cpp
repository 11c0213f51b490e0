// Seeded random sequences of user operations on the starter database, selections, typing in the XML
// pane and answers to "Manual changes will be lost" interleaved: undoing them all gives the database
// and varlex.lng of the start byte for byte, redoing them all the end again; after every step the
// writer's cached text equals a full rebuild, the XML pane shows varlex.lng unless it holds manual
// changes, varlex.lng holds the records' XML unless manual changes were applied, and a question
// answered Cancel left the records and the history as they were.
#include "session/sessionfixture.h"

#include <QDir>
#include <QRandomGenerator>

namespace {

using F = RecordFields::FieldId;

class Operations {
public:
    Operations(EditSession &session, quint32 seed, const QString &folder) : s_(session), r_(seed), folder_(folder) {}

    bool answer() { return r_.bounded(3) != 0; }

    void run()
    {
        const int sets = s_.language().tokensetCount();
        switch (r_.bounded(25)) {
        case 22: case 23: typeXml(pane + QStringList{"<!-- typed -->", "x", "\r\n"}[r_.bounded(3)]); break;
        case 24: typeXml(pane.left(pane.size() / 2)); break;
        case 0: case 1: case 2: case 3: setField(); break;
        case 4: s_.selectLanguage(pick(int(s_.db().languages.size()))); break;
        case 5: case 6: s_.selectTokenset(pick(sets)); break;
        case 7: s_.setIncluded(pick(sets), coin()); break;
        case 8: s_.renameTokenset(name()); break;
        case 9: s_.moveTokenset(coin() ? -1 : 1); break;
        case 10: coin() ? s_.deleteTokenset() : (s_.newTokenset(name()), true); break;
        case 11: s_.setAllIncluded(coin()); break;
        case 12: s_.rewriteTokens(EditSession::TokenTool(r_.bounded(7))); break;
        case 13: s_.renameLanguage(name()); break;
        case 14: r_.bounded(3) == 0 ? (s_.deleteLanguage(), void()) : s_.duplicateLanguage(name()); break;
        case 15: s_.sortLanguages(); break;
        case 16: coin() ? (s_.newLanguage(name()), void()) : (s_.importLanguage(c_, true), void()); break;
        case 17: s_.setMemberListFolder(QDir(folder_).filePath(QString::fromLatin1(coin() ? "mem" : "nomem"))); break;
        case 18: coin() ? s_.undoStack().undo() : s_.undoStack().redo(); break;
        case 19: s_.endTyping(); break;
        case 20: s_.applyManualXml(QStringLiteral("<language name=\"M\">\r\n</language>")); break;
        default: coin() ? s_.removeAttributesCurrentLanguage() : s_.setField(F::Tokens, QStringLiteral("a :::: ListMembers\r\n\\d+")); break;
        }
    }

private:
    // The pane holds what the user types (the session shows it only after an undo or redo).
    void typeXml(const QString &text)
    {
        pane = text;
        s_.editManualXml(text);
    }
    int pick(int n) { return n > 0 ? int(r_.bounded(n)) : -1; }
    bool coin() { return r_.bounded(2) == 0; }

    // Flags, colours, choices and texts; texts grow, so a typed change always records a step.
    void setField()
    {
        static const F fields[] = {F::CaseSensitive, F::ApplyCase, F::WhiteSpace, F::WordChars, F::MemberList,
                                   F::SampleText, F::Id, F::Type, F::ForeColor, F::FontStyle, F::InheritFrom,
                                   F::TokensetCase, F::Hidden, F::TMemberList, F::Tokens, F::Tokens2, F::RegExp,
                                   F::Rule, F::Lead, F::ValidScope0, F::ValidScope3};
        const F f = fields[r_.bounded(int(std::size(fields)))];
        QVariant value;
        if (s_.value(f).typeId() == QMetaType::Int)
            value = f == F::ForeColor ? int(r_.bounded(0x1000000)) : int(r_.bounded(2));
        else if (f == F::Type || f == F::MemberList || f == F::TMemberList)
            value = QStringList{"scope", "list", "<none>", "Win32", "Missing"}[r_.bounded(5)];
        else if (f == F::InheritFrom || f == F::ValidScope0 || f == F::ValidScope3)
            value = name();
        else
            value = s_.value(f).toString() + QStringList{"\r\nif", "\r\nx :::: QuickInfo", "<", "&"}[r_.bounded(4)];
        s_.setField(f, value, coin());
    }

    // Names of the language's tokensets now and then, so references appear, break and mend.
    QString name()
    {
        const Language &lang = s_.language();
        if (lang.tokensetCount() > 0 && coin())
            return lang.tokensets[size_t(r_.bounded(lang.tokensetCount()))].name;
        return QStringList{"<none>", "NULL", "Keywords", "Strings", "Ghost", "Lang"}[r_.bounded(6)];
    }

public:
    QString pane; // the XML pane's text, as the session shows it

private:
    EditSession &s_;
    QRandomGenerator r_;
    QString folder_;
    const QString c_ = TestUtil::sourcePath(QStringLiteral("data/languages/c.lng"));
};

} // namespace

TEST_F(SessionTest, RandomStepsUndoToTheStartAndRedoToTheEnd)
{
    folder.write(QStringLiteral("mem/win32.mbr"), "<memberlist name=\"Win32\"><member name=\"CreateWindow\"/></memberlist>");
    QDir().mkpath(folder.file(QStringLiteral("nomem")));
    for (const quint32 seed : {1u, 2u, 3u, 4u}) {
        folder.write(QStringLiteral("varlex.dat"), TestUtil::readFile(QStringLiteral(VARLEX_STARTER_DATABASE)));
        open();
        session->setTypingPause(1 << 30); // typed changes in one box always join
        session->setWriterOptions(seed & 1, seed & 2);
        session->selectLanguage(int(seed % session->db().languages.size()));
        const QByteArray startDatabase = encoded();
        const QString startXml = workingFile();
        // The first step records, so undoing everything comes back to this selection.
        session->setField(F::Tokens, session->value(F::Tokens).toString() + QStringLiteral("\r\nfirst"));
        Operations operations(*session, seed, folder.path());
        operations.pane = workingFile();
        QObject::connect(&session->preview(), &PreviewPipeline::previewXml, [&](const QString &xml) { operations.pane = xml; });
        for (int step = 0; step < 200; ++step) {
            const QByteArray records = encoded();
            const int steps = undo().count();
            const QStringList asked = prompts.asked;
            const bool answer = operations.answer();
            prompts.answers = {answer, answer};
            operations.run();
            const QString at = QStringLiteral("seed %1, step %2").arg(seed).arg(step);
            ASSERT_EQ(cachedXml(), rebuiltXml()) << at.toStdString();
            if (!answer && prompts.asked.size() > asked.size()
                && prompts.asked.last().contains(QStringLiteral("Manual changes will be lost"))) {
                ASSERT_EQ(encoded(), records) << at.toStdString();
                ASSERT_EQ(undo().count(), steps) << at.toStdString();
            }
            const bool applied = operations.pane.startsWith(QStringLiteral("<language name=\"M\">"));
            ASSERT_EQ(session->manualChangesPending(), operations.pane != workingFile()) << at.toStdString();
            if (!applied && !session->manualChangesPending())
                ASSERT_EQ(workingFile(), rebuiltXml() + QStringLiteral("\r\n")) << at.toStdString();
        }
        while (undo().canRedo())
            undo().redo();
        const QByteArray endDatabase = encoded();
        ASSERT_GT(undo().count(), 50) << seed;
        while (undo().canUndo())
            undo().undo();
        EXPECT_EQ(encoded(), startDatabase) << seed;
        EXPECT_EQ(workingFile(), startXml) << seed;
        EXPECT_FALSE(session->isDirty()) << seed;
        while (undo().canRedo()) {
            undo().redo();
            ASSERT_EQ(cachedXml(), rebuiltXml()) << seed;
        }
        EXPECT_EQ(encoded(), endDatabase) << seed;
    }
}
