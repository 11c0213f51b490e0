// Reference colourings: each sample in tests/reference/<language>/ coloured with data/languages/
// <language>.lng (xml-pane: data/xml.lng) must give the marking recorded in <sample>.ref: each run of
// a tokenset <Name>text</Name>, line by line, leaving plain text, the text tokenset and whitespace
// unmarked. A meant change is recorded with scripts/update-references.sh, and shows as a diff.
#include "common/testutil.h"
#include "editorcontrol/definitionreader.h"
#include "editorcontrol/highlighter.h"
#include "editorcontrol/textsource.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace {

QByteArray marked(Highlighter &highlighter, const QString &path)
{
    const CompiledLanguage &language = *highlighter.language();
    TextSource source;
    EXPECT_TRUE(source.open(path)) << source.problem().toStdString();
    QString out;
    QStringView line, lineBreak;
    int open = -1; // the tokenset whose mark is open
    const Highlighter::RunSink sink = [&](const StyleRun *runs, qsizetype count) {
        for (const StyleRun *r = runs; r != runs + count; ++r) {
            int t = r->tokenset;
            if (t == language.textTokenset() || (t >= 0 && language.definition().tokensets[t].id == TokensetIds::Whitespace))
                t = -1;
            if (t != open && open >= 0)
                out += QLatin1String("</") + language.tokensetName(open) + QLatin1Char('>');
            if (t != open && t >= 0)
                out += QLatin1Char('<') + language.tokensetName(t) + QLatin1Char('>');
            open = t;
            out += line.mid(r->start, r->length);
        }
    };
    ScopeState state;
    while (source.next(line, lineBreak)) {
        state = highlighter.highlightLine(line, state, sink);
        if (open >= 0)
            out += QLatin1String("</") + language.tokensetName(open) + QLatin1Char('>');
        open = -1;
        out += u'\n';
    }
    return out.toUtf8();
}

} // namespace

TEST(Reference, SamplesColourAsRecorded)
{
    const bool record = qEnvironmentVariableIsSet("VARLEX_UPDATE_REFERENCES");
    const QDir root(TestUtil::sourcePath(QStringLiteral("tests/reference")));
    int samples = 0;
    for (const QString &name : root.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        LanguageDefinition definition;
        DefinitionError error;
        ASSERT_TRUE(DefinitionReader::readFile(TestUtil::sourcePath(name == QLatin1String("xml-pane") ? QStringLiteral("data/xml.lng")
                                                                                                    : "data/languages/" + name + ".lng"),
                                               definition, error))
            << error.toString().toStdString();
        Highlighter highlighter(CompiledLanguage::compile(definition));
        for (const QFileInfo &sample : QDir(root.filePath(name)).entryInfoList(QDir::Files, QDir::Name)) {
            if (sample.suffix() == QLatin1String("ref"))
                continue;
            ++samples;
            const QByteArray now = marked(highlighter, sample.filePath());
            QFile ref(sample.filePath() + QStringLiteral(".ref"));
            if (record) {
                ASSERT_TRUE(ref.open(QIODevice::WriteOnly) && ref.write(now) == now.size()) << ref.fileName().toStdString();
                continue;
            }
            const QList<QByteArray> recorded = TestUtil::readFile(ref.fileName()).split('\n'), lines = now.split('\n');
            const auto [a, b] = std::mismatch(recorded.begin(), recorded.end(), lines.begin(), lines.end());
            EXPECT_TRUE(a == recorded.end() && b == lines.end())
                << (name + '/' + sample.fileName()).toStdString() << " line " << (a - recorded.begin()) + 1
                << " (scripts/update-references.sh records it)\n  recorded: "
                << (a == recorded.end() ? "" : a->toStdString()) << "\n  now:      " << (b == lines.end() ? "" : b->toStdString());
        }
        EXPECT_TRUE(highlighter.language()->matchLimitProblems().isEmpty()) << name.toStdString();
    }
    EXPECT_GE(samples, 10);
}
