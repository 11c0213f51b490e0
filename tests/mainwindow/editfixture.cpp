#include "mainwindow/editfixture.h"
#include "widgets/editorpane.h"
#include "model/ansicodec.h"
#include "model/databasefile.h"
#include "model/languagetemplate.h"

void EditTest::SetUp()
{
    WindowTest::SetUp();
    Language empty;
    empty.name = QStringLiteral("Empty");
    writeDatabase({templateLanguage(QStringLiteral("Basic"), QStringLiteral("if x then 'note")),
                   templateLanguage(QStringLiteral("Pascal"), QStringLiteral("begin end")), empty});
}

Language EditTest::templateLanguage(const QString &name, const QString &sample)
{
    Language language;
    LanguageTemplate::fill(language, name, sample, QStringLiteral("if\r\nthen\r\nbegin\r\nend"), QStringLiteral("+\r\n-"),
                           QStringLiteral("http://\\S+"));
    for (int k = 0; k < LanguageTemplate::kTemplateSlots; ++k)
        language.tokensets[k].included = 1;
    for (Tokenset &ts : language.tokensets)
        ts.hidden = 0;
    return language;
}

void EditTest::writeDatabase(const QVector<Language> &languages)
{
    QByteArray bytes;
    DatabaseFile::encode(languages, bytes);
    folder.write(QStringLiteral("varlex.dat"), bytes);
}

QsciScintilla *EditTest::xmlPane() const { return child<QsciScintilla>(QStringLiteral("txtXML")); }
EditorPane *EditTest::samplePane() const { return child<EditorPane>(QStringLiteral("txtSample")); }

QString EditTest::workingFile() const
{
    return AnsiCodec::decode(folder.read(QStringLiteral("varlex.lng")));
}

QStringList EditTest::items(const QListWidget *list)
{
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << list->item(i)->text();
    return out;
}

QStringList EditTest::items(const QComboBox *box)
{
    QStringList out;
    for (int i = 0; i < box->count(); ++i)
        out << box->itemText(i);
    return out;
}
