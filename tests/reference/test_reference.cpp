// Reference colourings: every sample under tests/reference/<language>/ is coloured with its starter
// definition (data/languages/<language>.lng; xml-pane: data/xml.lng, the XML pane's) and compared
// with the marking recorded beside it in <sample>.ref, so that a change of the engine or of a
// definition shows as a diff of those files. After a change that is meant, rewrite them with
// scripts/update-references.sh and review the diff.
//
// Marking: line by line, each run of a tokenset as <Name>text</Name>; plain text, the text tokenset
// and whitespace tokensets are left unmarked.
#include "common/testutil.h"
#include "editorcontrol/definitionreader.h"
#include "editorcontrol/highlighter.h"
#include "editorcontrol/textsource.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace {

QByteArray marked(const CompiledLanguage &language, Highlighter &highlighter, const QString &path)
{
    TextSource source;
    EXPECT_TRUE(source.open(path)) << source.problem().toStdString();
    QString out, piece;
    int current = -1; // the tokenset of `piece`, -1 for unmarked text
    auto flush = [&] {
        if (piece.isEmpty())
            return;
        if (current < 0)
            out += piece;
        else
            out += QLatin1Char('<') + language.tokensetName(current) + QLatin1Char('>') + piece + QLatin1String("</")
                + language.tokensetName(current) + QLatin1Char('>');
        piece.clear();
    };
    QStringView line, lineBreak;
    const Highlighter::RunSink sink = [&](const StyleRun *runs, qsizetype count) {
        for (const StyleRun *r = runs; r != runs + count; ++r) {
            int t = r->tokenset;
            if (t == language.textTokenset() || (t >= 0 && language.definition().tokensets[t].id == TokensetIds::Whitespace))
                t = -1;
            if (t != current)
                flush();
            current = t;
            piece += line.mid(r->start, r->length);
        }
    };
    ScopeState state;
    while (source.next(line, lineBreak)) {
        state = highlighter.highlightLine(line, state, sink);
        flush();
        current = -1;
        out += u'\n';
    }
    return out.toUtf8();
}

// The first lines where two markings differ, for a readable failure.
std::string firstDifferences(const QByteArray &expected, const QByteArray &actual)
{
    const QList<QByteArray> a = expected.split('\n'), b = actual.split('\n');
    std::string report;
    for (qsizetype i = 0, shown = 0; i < std::max(a.size(), b.size()) && shown < 5; ++i) {
        if (a.value(i) == b.value(i))
            continue;
        ++shown;
        report += "line " + std::to_string(i + 1) + "\n  recorded: " + a.value(i).toStdString()
                  + "\n  now:      " + b.value(i).toStdString() + '\n';
    }
    return report;
}

} // namespace

TEST(Reference, SamplesColourAsRecorded)
{
    const bool update = qEnvironmentVariableIsSet("VARLEX_UPDATE_REFERENCES");
    const QDir root(TestUtil::sourcePath(QStringLiteral("tests/reference")));
    int samples = 0;
    for (const QString &name : root.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QString lng = TestUtil::sourcePath(name == QLatin1String("xml-pane") ? QStringLiteral("data/xml.lng")
                                                                                 : "data/languages/" + name + ".lng");
        LanguageDefinition definition;
        DefinitionError error;
        ASSERT_TRUE(DefinitionReader::readFile(lng, definition, error)) << error.toString().toStdString();
        const CompiledLanguagePtr language = CompiledLanguage::compile(definition);
        Highlighter highlighter(language);
        for (const QFileInfo &sample : QDir(root.filePath(name)).entryInfoList(QDir::Files, QDir::Name)) {
            if (sample.suffix() == QLatin1String("ref"))
                continue;
            ++samples;
            const QByteArray now = marked(*language, highlighter, sample.filePath());
            QFile ref(sample.filePath() + QStringLiteral(".ref"));
            if (update) {
                ASSERT_TRUE(ref.open(QIODevice::WriteOnly) && ref.write(now) == now.size()) << ref.fileName().toStdString();
                continue;
            }
            const QByteArray recorded = ref.open(QIODevice::ReadOnly) ? ref.readAll() : QByteArray();
            EXPECT_TRUE(recorded == now) << name.toStdString() << "/" << sample.fileName().toStdString()
                                         << " colours differently (scripts/update-references.sh records it):\n"
                                         << firstDifferences(recorded, now);
        }
        EXPECT_TRUE(language->matchLimitProblems().isEmpty()) << name.toStdString();
    }
    EXPECT_GE(samples, 10);
}
