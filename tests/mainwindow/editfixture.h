#pragma once

#include "mainwindow/windowfixture.h"
#include "model/database.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>

class EditorPane;
class QsciScintilla;

// A main window over a database of template languages ("Basic", "Pascal", "Empty" without
// tokensets); every template tokenset of "Basic" and "Pascal" is included.
class EditTest : public WindowTest {
protected:
    void SetUp() override;

    static Language templateLanguage(const QString &name, const QString &sample);
    void writeDatabase(const QVector<Language> &languages);

    QListWidget *languages() const { return child<QListWidget>(QStringLiteral("lstLang")); }
    QListWidget *tokensets() const { return child<QListWidget>(QStringLiteral("lstTokenset")); }
    QCheckBox *check(const char *name) const { return child<QCheckBox>(QString::fromLatin1(name)); }
    QComboBox *combo(const QString &name) const { return child<QComboBox>(name); }
    QPlainTextEdit *tokensBox() const { return child<QPlainTextEdit>(QStringLiteral("txtTokens")); }
    QsciScintilla *xmlPane() const;
    EditorPane *samplePane() const;

    Language &current() { return window->db().current(); }
    Tokenset &currentTokenset() { return current().tokensets[window->db().currentTokenset]; }
    QString workingFile() const; // varlex.lng as text
    static QStringList items(const QListWidget *list);
    static QStringList items(const QComboBox *box);
    void selectTokenset(int row) { tokensets()->setCurrentRow(row); }
};
