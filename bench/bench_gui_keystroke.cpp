// One keystroke in the first token box of a large language: 51 included tokensets holding 10,000
// tokens, with a 100 KB sample. Measured from the change to the preview coloured again (the
// definition written to varlex.lng, read back into both panes, the visible sample styled): through
// the real token box, the same change made through the session, and with the window repainted;
// beside writing and reading varlex.lng alone and the parts of the preview.
#include "benchwindow.h"
#include "editorcontrol/compiledlanguage.h"
#include "editorcontrol/languageobject.h"
#include "widgets/editorpane.h"
#include "mainwindow/frmmain.h"
#include "model/databasefile.h"
#include "model/programfolder.h"
#include "session/editsession.h"
#include "xmlgen/writerhost.h"
#include "xmlgen/xmlwriter.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QStandardPaths>
#include <QTest>
#include <QTemporaryDir>
#include <QUndoStack>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>

namespace {

struct Fixture {
    QTemporaryDir dir;
    std::unique_ptr<FrmMain> window;
    QPlainTextEdit *tokens = nullptr;
    EditorPane *sample = nullptr;
    Database db;

    Fixture()
    {
        const QDir source(QStringLiteral(VARLEX_SOURCE_DIR "/data"));
        for (const char *name : {"xml.lng", "sample.txt"})
            QFile::copy(source.filePath(QString::fromLatin1(name)), dir.filePath(QString::fromLatin1(name)));
        db.languages = {largeLanguage()};
        db.currentTokenset = 0;
        // A stored text holds at most 64 KB; the large sample is an edit of the open language.
        Database stored = db;
        stored.languages[0].sampletext = QStringLiteral("word1x");
        QByteArray bytes;
        QString problem;
        if (!DatabaseFile::encode(stored.languages, bytes, &problem)) {
            std::fprintf(stderr, "%s\n", qPrintable(problem));
            std::abort();
        }
        QFile file(dir.filePath(QStringLiteral("varlex.dat")));
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            std::abort();
        file.close();
        ProgramFolder::resolve(dir.path());
        window = std::make_unique<FrmMain>(std::make_unique<NoDialogs>());
        window->resize(1200, 900);
        window->show();
        tokens = window->findChild<QPlainTextEdit *>(QStringLiteral("txtTokens"));
        sample = window->findChild<EditorPane *>(QStringLiteral("txtSample"));
        EditSession &session = window->session();
        if (!tokens || !sample || session.db().languages.size() != 1 || session.currentTokenset() != 0) {
            std::fprintf(stderr, "The large language did not open: %d languages, tokenset %d\n",
                         int(session.db().languages.size()), session.currentTokenset());
            std::abort();
        }
        session.setField(EditSession::Field::SampleText, db.languages[0].sampletext);
        session.regenerate(); // the sample pane shows the stored sample
        if (sample->text().size() < 100 * 1024)
            std::abort();
    }
};

std::unique_ptr<Fixture> theFixture;

Fixture &fixture()
{
    if (!theFixture)
        theFixture = std::make_unique<Fixture>();
    return *theFixture;
}

QByteArray workingFileBytes(const Fixture &f)
{
    QFile file(QDir(f.dir.path()).filePath(XmlWriter::kWorkingFile));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Styles the sample pane's first screen, as painting it would.
void styleVisible(EditorPane &pane)
{
    const long end = pane.SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE, 60L);
    pane.SendScintilla(QsciScintillaBase::SCI_COLOURISE, 0L, end);
}

void BM_KeystrokeToPreview(benchmark::State &state)
{
    Fixture &f = fixture();
    QTextCursor cursor(f.tokens->document());
    cursor.movePosition(QTextCursor::End);
    bool typed = false;
    for (auto _ : state) {
        if (typed)
            cursor.deletePreviousChar();
        else
            cursor.insertText(QStringLiteral("q"));
        typed = !typed;
        f.window->session().rebuildWaiting(); // what the event loop runs after the key
        styleVisible(*f.sample);
    }
    state.counters["xml_bytes"] = double(QFileInfo(QDir(f.dir.path()).filePath(XmlWriter::kWorkingFile)).size());
}
BENCHMARK(BM_KeystrokeToPreview)->Unit(benchmark::kMillisecond);

// The same change made through the session, rebuilt at once rather than after the waiting keys, and
// taken back with Undo every second time.
void BM_KeystrokeToPreviewWithoutWidget(benchmark::State &state)
{
    Fixture &f = fixture();
    EditSession &session = f.window->session();
    const QString original = session.tokenset().tokens;
    bool typed = false;
    for (auto _ : state) {
        if (typed)
            session.undoStack().undo();
        else
            session.setField(EditSession::Field::Tokens, original + QStringLiteral("q"));
        typed = !typed;
        styleVisible(*f.sample);
    }
    if (typed)
        session.undoStack().undo();
}
BENCHMARK(BM_KeystrokeToPreviewWithoutWidget)->Unit(benchmark::kMillisecond);

// A key pressed in the token box, through the window's event handling, to the repainted window.
void BM_KeystrokeRepainted(benchmark::State &state)
{
    Fixture &f = fixture();
    f.tokens->setFocus();
    f.tokens->moveCursor(QTextCursor::End);
    QApplication::processEvents();
    bool typed = false;
    for (auto _ : state) {
        QTest::keyClick(f.tokens, typed ? Qt::Key_Backspace : Qt::Key_Q);
        typed = !typed;
        f.window->repaint();
        QApplication::processEvents();
    }
}
BENCHMARK(BM_KeystrokeRepainted)->Unit(benchmark::kMillisecond);

class FolderHost : public WriterHost {
public:
    explicit FolderHost(QString folder) : folder_(std::move(folder)) {}
    QString programFolder() const override { return folder_; }

private:
    QString folder_;
};

// The floor: the same definition written (current tokenset rebuilt) and read back as bytes.
void BM_WriteAndReadWorkingFile(benchmark::State &state)
{
    Fixture &f = fixture();
    FolderHost host(f.dir.path());
    XmlWriter writer(f.db, host);
    (void)writer.WriteXML(0, true, 1);
    Tokenset &ts = f.db.languages[0].tokensets[0];
    const QString original = ts.tokens;
    bool typed = false;
    for (auto _ : state) {
        ts.tokens = typed ? original : original + QStringLiteral("q");
        typed = !typed;
        const WriteResult result = writer.WriteXML(0, true, 0);
        QFile file(result.file);
        if (!file.open(QIODevice::ReadOnly))
            state.SkipWithError("varlex.lng cannot be read");
        benchmark::DoNotOptimize(file.readAll());
    }
}
BENCHMARK(BM_WriteAndReadWorkingFile)->Unit(benchmark::kMillisecond);

// The parts of the keystroke: reading the definition, compiling it, replacing the XML pane's text.
void BM_PartLoadDefinition(benchmark::State &state)
{
    const QByteArray bytes = workingFileBytes(fixture());
    LanguageObject object;
    for (auto _ : state)
        benchmark::DoNotOptimize(object.loadData(bytes, QStringLiteral("varlex.lng")));
}
BENCHMARK(BM_PartLoadDefinition)->Unit(benchmark::kMillisecond);

void BM_PartCompile(benchmark::State &state)
{
    LanguageObject object;
    object.loadData(workingFileBytes(fixture()), QStringLiteral("varlex.lng"));
    for (auto _ : state)
        benchmark::DoNotOptimize(CompiledLanguage::compile(*object.definition()));
}
BENCHMARK(BM_PartCompile)->Unit(benchmark::kMillisecond);

void BM_PartXmlPaneText(benchmark::State &state)
{
    Fixture &f = fixture();
    auto *pane = f.window->findChild<EditorPane *>(QStringLiteral("txtXML"));
    const QString text = QString::fromLatin1(workingFileBytes(f));
    const QString typed = QString(text).insert(text.size() / 2, QLatin1Char('q'));
    bool flip = false;
    for (auto _ : state) {
        pane->setText(flip ? text : typed);
        flip = !flip;
    }
}
BENCHMARK(BM_PartXmlPaneText)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QStandardPaths::setTestModeEnabled(true); // leave the user's settings alone
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    theFixture.reset(); // the window goes before the application
    return 0;
}
