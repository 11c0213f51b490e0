// The XML writer and the token list text on random records. The bytes are read as a database file
// (the loader keeps what it can of damaged ones), so the seeds are databases the program saved and
// every record field gets mutated. For every language read: the definition in all four forms (hidden
// defaults and easy-read on and off, every tokenset rebuilt and then only the current one), and the
// token list commands on each tokenset's lists. None of this may crash, hang or trip a sanitizer;
// the cached run must give the same text as the full one, and the written bytes must be the text's.
#include "model/database.h"
#include "model/databasefile.h"
#include "xmlgen/splittokens.h"
#include "xmlgen/tokenlisttools.h"
#include "xmlgen/writerhost.h"
#include "xmlgen/xmlwriter.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

class NoWindows : public WriterHost {
public:
    QString programFolder() const override { return QStringLiteral("/nonexistent"); }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    Database db;
    db.languages = DatabaseFile::decode(bytes).languages;
    if (db.languages.size() > 8)
        db.languages.resize(8); // enough languages to switch the cache; fewer keeps runs quick
    NoWindows host;
    XmlWriter writer(db, host);
    for (int i = 0; i < db.languages.size(); ++i) {
        db.currentLanguage = i;
        db.currentTokenset = db.languages[i].tokensetCount() > 0 ? 0 : -1;
        for (int form = 0; form < 4; ++form) {
            const bool hide = form & 1;
            const bool easyRead = form & 2;
            const QString full = writer.generate(i, 1, hide, easyRead);
            if (writer.generate(i, 0, hide, easyRead) != full)
                std::abort();
            if (XmlWriter::fileBytes(full).isEmpty())
                std::abort();
        }
        const Language &language = db.languages[i];
        for (int slot = 0; slot < language.tokensetCount(); ++slot) {
            const Tokenset &t = language.tokensets[size_t(slot)];
            (void)SplitTokens(t.tokens, t.tokens2, t.type, t, slot & 1);
            for (const QString &list : {t.tokens, t.tokens2}) {
                const QString sorted = TokenListTools::sortLines(list, TokenListTools::Order::Ascending,
                                                                 TokenListTools::Case::Insensitive);
                if (TokenListTools::splitLines(sorted).size() != TokenListTools::splitLines(list).size())
                    std::abort();
                (void)TokenListTools::sortLines(list, TokenListTools::Order::Descending,
                                                TokenListTools::Case::Sensitive);
                (void)TokenListTools::titleCase(TokenListTools::lowerCase(list));
                (void)TokenListTools::removeAttributes(list);
            }
        }
    }
    return 0;
}
