#pragma once

#include "common/testutil.h"
#include "model/databasefile.h"
#include "model/languagetemplate.h"

// The database the window and session tests start from: "Basic" and "Pascal" made from the
// new-language template with every tokenset included and shown, and "Empty" without tokensets.
namespace TemplateDatabase {

inline Language language(const QString &name, const QString &sample = QStringLiteral("if x then 'note"))
{
    Language language;
    LanguageTemplate::fill(language, name, sample, QStringLiteral("if\r\nthen\r\nbegin\r\nend"), QStringLiteral("+\r\n-"),
                           QStringLiteral("http://\\S+"));
    for (int k = 0; k < LanguageTemplate::kTemplateSlots; ++k) {
        language.tokensets[k].included = 1;
        language.tokensets[k].hidden = 0;
    }
    return language;
}

inline void write(const TestUtil::TempFolder &folder, const QVector<Language> &languages)
{
    QByteArray bytes;
    DatabaseFile::encode(languages, bytes);
    folder.write(QStringLiteral("varlex.dat"), bytes);
}

inline void writeStandard(const TestUtil::TempFolder &folder)
{
    Language empty;
    empty.name = QStringLiteral("Empty");
    write(folder, {language(QStringLiteral("Basic")), language(QStringLiteral("Pascal"), QStringLiteral("begin end")), empty});
}

} // namespace TemplateDatabase
