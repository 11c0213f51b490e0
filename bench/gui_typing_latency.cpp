// Typing into the real window, end to end: xdotool sends 20 letters (after a Return) at full speed
// to the token box of a large language (51 tokensets, 10,000 tokens, the biggest 1,600) and of C,
// under an X server. For each it reports when the last key was handled, the time from the last key
// to the sample coloured with the final text, the process's CPU time per key and how many times the
// preview was rebuilt, with every key rebuilding the preview ("each") and with keys that arrive while
// one is rebuilt sharing a rebuild ("shared", as the window works). Run through
// bench/typing_latency.sh, which provides the X server.
#include "benchwindow.h"
#include "editorcontrol/languageobject.h"
#include "import/languageimport.h"
#include "mainwindow/frmmain.h"
#include "model/databasefile.h"
#include "model/programfolder.h"
#include "session/editsession.h"
#include "widgets/editorpane.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QKeyEvent>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <cstdio>
#include <ctime>

namespace {

double cpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

// Notes when each key reaches the token box.
class KeyClock : public QObject {
public:
    QElapsedTimer clock;
    qint64 first = -1;
    qint64 last = -1;
    double firstCpu = 0;
    int keys = 0;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::KeyPress) {
            if (first < 0) {
                first = clock.elapsed();
                firstCpu = cpuMs();
            }
            last = clock.elapsed();
            ++keys;
        }
        return QObject::eventFilter(watched, event);
    }
};

constexpr char kWord[] = "zqxjvkwpyfzqxjvkwpyf"; // 20 letters no token starts with

struct Figures {
    qint64 keysHandledMs = 0;
    qint64 finalAfterLastKeyMs = 0;
    double cpuPerKeyMs = 0;
    int rebuilds = 0;
    int keys = 0;
    bool complete = false;
};

Figures typeInto(FrmMain &window, int language, int slot)
{
    EditSession &session = window.session();
    window.findChild<QListWidget *>(QStringLiteral("lstLang"))->setCurrentRow(language);
    window.findChild<QListWidget *>(QStringLiteral("lstTokenset"))->setCurrentRow(slot);
    auto *tokens = window.findChild<QPlainTextEdit *>(QStringLiteral("txtTokens"));
    auto *sample = window.findChild<EditorPane *>(QStringLiteral("txtSample"));
    tokens->setFocus();
    tokens->moveCursor(QTextCursor::End);
    QApplication::processEvents();

    KeyClock keys;
    keys.clock.start();
    tokens->installEventFilter(&keys);
    Figures figures;
    qint64 finalAt = -1;
    double finalCpu = 0;
    QEventLoop loop;
    const QString word = QString::fromLatin1(kWord);
    const auto connection = QObject::connect(&session.preview(), &PreviewPipeline::previewLanguage, [&] {
        ++figures.rebuilds;
        if (!session.tokenset().tokens.endsWith(word))
            return;
        // Shown once the window has painted the sample with it.
        QTimer::singleShot(0, [&] {
            sample->repaint();
            finalAt = keys.clock.elapsed();
            finalCpu = cpuMs();
            loop.quit();
        });
    });
    QProcess xdotool;
    xdotool.start(QStringLiteral("xdotool"),
                  {QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("0"),
                   QStringLiteral("\n") + word});
    QTimer::singleShot(60000, &loop, &QEventLoop::quit);
    loop.exec();
    xdotool.waitForFinished(5000);
    QObject::disconnect(connection);
    tokens->removeEventFilter(&keys);
    figures.keys = keys.keys;
    figures.complete = finalAt >= 0 && keys.keys == word.size() + 1;
    figures.keysHandledMs = keys.last - keys.first;
    figures.finalAfterLastKeyMs = finalAt - keys.last;
    figures.cpuPerKeyMs = keys.keys > 0 ? (finalCpu - keys.firstCpu) / keys.keys : 0;
    return figures;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (QGuiApplication::platformName() != QLatin1String("xcb")) {
        std::fprintf(stderr, "gui_typing_latency needs an X server: run bench/typing_latency.sh\n");
        return 2;
    }
    if (QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty()) {
        std::fprintf(stderr, "gui_typing_latency needs xdotool (apt-get install xdotool)\n");
        return 2;
    }
    QTemporaryDir dir;
    const QDir data(QStringLiteral(VARLEX_SOURCE_DIR "/data"));
    for (const char *name : {"xml.lng", "sample.txt"})
        QFile::copy(data.filePath(QString::fromLatin1(name)), dir.filePath(QString::fromLatin1(name)));
    ProgramFolder::resolve(dir.path());
    Database db;
    db.languages = {largeLanguage(1600, 60 * 1024)};
    db.languages[0].sampletext += QString::fromLatin1(kWord) + QStringLiteral("\r\n");
    QFile cSample(data.filePath(QStringLiteral("languages/c.txt")));
    (void)cSample.open(QIODevice::ReadOnly);
    LanguageObject object;
    const LanguageImport::Result c = LanguageImport::importFile(db, object, data.filePath(QStringLiteral("languages/c.lng")),
                                                                true, QString::fromUtf8(cSample.readAll()));
    QByteArray bytes;
    QString problem;
    if (!c.ok || !DatabaseFile::encode(db.languages, bytes, &problem)) {
        std::fprintf(stderr, "the languages could not be stored: %s\n", qPrintable(problem));
        return 1;
    }
    QFile stored(dir.filePath(QStringLiteral("varlex.dat")));
    if (!stored.open(QIODevice::WriteOnly) || stored.write(bytes) != bytes.size())
        return 1;
    stored.close();

    FrmMain window(std::make_unique<NoDialogs>());
    window.resize(1400, 950);
    window.show();
    (void)QTest::qWaitForWindowExposed(&window);
    window.activateWindow();
    (void)QTest::qWaitForWindowActive(&window, 3000);
    QProcess::execute(QStringLiteral("xdotool"),
                      {QStringLiteral("windowfocus"), QStringLiteral("--sync"), QString::number(window.winId())});

    int keywords = 0;
    for (int k = 0; k < db.languages[c.index].tokensetCount(); ++k)
        if (db.languages[c.index].tokensets[size_t(k)].name == QLatin1String("Keywords"))
            keywords = k;
    std::printf("%-6s %-7s %5s %16s %20s %15s %9s\n", "lang", "rebuild", "keys", "keys handled ms",
                "final after last ms", "cpu per key ms", "rebuilds");
    const struct {
        const char *name;
        int language;
        int slot;
    } runs[] = {{"Large", 0, 0}, {"C", c.index, keywords}};
    for (const auto &run : runs) {
        for (const bool shared : {false, true}) {
            window.session().setCoalescedTyping(shared);
            const Figures f = typeInto(window, run.language, run.slot);
            std::printf("%-6s %-7s %5d %16lld %20lld %15.1f %9d%s\n", run.name, shared ? "shared" : "each", f.keys,
                        f.keysHandledMs, f.finalAfterLastKeyMs, f.cpuPerKeyMs, f.rebuilds,
                        f.complete ? "" : "  (incomplete)");
            std::fflush(stdout);
        }
    }
    return 0;
}
