#include "lint/languageview.h"

#include "editorcontrol/compiledlanguagedata.h"
#include "editorcontrol/definitionreader.h"
#include "model/database.h"
#include "model/xmlchars.h"
#include "xmlgen/writerhost.h"
#include "xmlgen/xmltext.h"
#include "xmlgen/xmlwriter.h"

namespace Lint {

CompiledPatternPtr tokenRegexp(const QString &pattern, bool caseless, QString *error)
{
    return CompiledPattern::get(pattern, caseless, error);
}

bool readsAsScope(const QString &type)
{
    const QString trimmed = type.trimmed();
    return trimmed.compare(u"scope", Qt::CaseInsensitive) == 0 || trimmed == u"1";
}

namespace {

// The lines of a token list text that become tokens: lines end at CR LF, blank ones are skipped.
QStringList tokenLines(const QString &text)
{
    QStringList lines;
    for (QStringView line : QStringView(text).split(XmlText::kCrLf))
        if (!XmlText::isBlank(line))
            lines << XmlText::trimBlanks(line);
    return lines;
}

void pairWithLines(const TokenListDefinition &list, const QString &text, QVector<ViewToken> &out)
{
    const QStringList lines = tokenLines(text);
    for (qsizetype i = 0; i < list.tokens.size(); ++i)
        out.append(ViewToken{list.tokens[i], i < lines.size() ? lines[i] : QString()});
}

// The record's definition as the writer writes it and the reader reads it back, with characters no
// file can hold replaced (they have a check of their own) and no code page in between.
LanguageDefinition writtenDefinition(const Language &language)
{
    Language copy = language;
    auto safe = [](QString &text) {
        for (qsizetype at = XmlChars::firstBad(text); at >= 0; at = XmlChars::firstBad(text))
            text[at] = QChar::ReplacementCharacter;
    };
    for (QString *text : {&copy.name, &copy.wordchars, &copy.memberlist})
        safe(*text);
    for (Tokenset &ts : copy.tokensets)
        for (QString *text : {&ts.name, &ts.id, &ts.type, &ts.fontstyle, &ts.inheritfrom, &ts.tmemberlist, &ts.tokens,
                              &ts.tokens2, &ts.lead, &ts.trail})
            safe(*text);
    const QByteArray bytes = "\xEF\xBB\xBF" + writtenXml(copy).toUtf8(); // a UTF-8 byte order mark
    LanguageDefinition definition;
    DefinitionError error;
    (void)DefinitionReader::read(bytes, language.name, definition, error); // on failure: no tokensets
    return definition;
}

} // namespace

QString writtenXml(const Language &language)
{
    class NoFilesHost : public WriterHost {
    public:
        QString programFolder() const override { return QString(); }
    } host;
    Database db;
    db.languages.append(language);
    XmlWriter writer(db, host);
    return writer.generate(0, 1, false, false);
}

LanguageView::LanguageView(const Language &language) : record_(language), definition_(writtenDefinition(language))
{
    const int used = language.tokensetCount();
    for (int i = 0; i < used; ++i) {
        ViewTokenset view;
        view.slot = i;
        const Tokenset &ts = language.tokensets[size_t(i)];
        if (ts.included == 1 && writtenSlots_.size() < definition_.tokensets.size()) {
            view.written = int(writtenSlots_.size());
            const TokensetDefinition &d = definition_.tokensets[view.written];
            pairWithLines(d.tokens, ts.tokens, view.starts);
            pairWithLines(d.tokens2, ts.tokens2, view.ends);
            writtenSlots_.append(int(tokensets_.size()));
        }
        tokensets_.append(view);
    }
    compiled_ = CompiledLanguage::compile(definition_);

    const CompiledLanguageData &d = compiled_->data();
    const size_t n = d.tokensets.size();
    reached_.assign(n + 1, 0);
    reached_[0] = 1;
    for (bool grew = true; grew;) {
        grew = false;
        for (size_t t = 0; t < n; ++t) {
            if (reached_[t + 1] || !d.tokensets[t].scope || d.tokensets[t].starts.empty())
                continue;
            for (size_t c = 0; c <= n && !reached_[t + 1]; ++c)
                if (reached_[c] && d.contextAt(c).valid[t])
                    reached_[t + 1] = grew = true;
        }
    }
}

} // namespace Lint
