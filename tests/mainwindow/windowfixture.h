#pragma once

#include "common/scripteddialogs.h"
#include "common/templatedatabase.h"
#include "mainwindow/frmmain.h"
#include "session/editsession.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QSettings>

#include <memory>

class EditorPane;

// A main window on a temporary program folder (the shipped xml.lng and sample.txt and the template
// database) and an empty settings store. Tests script the dialogs before start() when start-up asks.
class WindowTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    FrmMain &start(); // creates the window (the start-up sequence runs) and shows it
    bool closeWindow() { return window->close(); }

    template <typename T>
    T *child(const char *name) const
    {
        T *found = window->findChild<T *>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    QAction *action(const char *name) const { return child<QAction>(name); }
    QCheckBox *check(const char *name) const { return child<QCheckBox>(name); }
    QComboBox *combo(const char *name) const { return child<QComboBox>(name); }
    QLabel *label(const char *name) const { return child<QLabel>(name); }
    QListWidget *languages() const { return child<QListWidget>("lstLang"); }
    QListWidget *tokensets() const { return child<QListWidget>("lstTokenset"); }
    QPlainTextEdit *tokensBox() const { return child<QPlainTextEdit>("txtTokens"); }
    EditorPane *xmlPane() const;
    EditorPane *samplePane() const;
    EditSession &session() const { return window->session(); }
    const Tokenset &tokenset() const { return session().tokenset(); }
    QString workingFile() const; // varlex.lng as text
    static QStringList items(const QListWidget *list); // the entries of a list
    static QStringList items(const QComboBox *box);
    static void storeSetting(const char *key, const QString &value)
    {
        FrmMain::settingsStore()->setValue(QString::fromLatin1(key), value);
    }
    static QString storedSetting(const char *key) { return FrmMain::settingsStore()->value(QString::fromLatin1(key)).toString(); }

    TestUtil::TempFolder folder;
    ScriptedDialogs *dialogs = nullptr; // owned by the window
    std::unique_ptr<FrmMain> window;
};
