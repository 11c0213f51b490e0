#pragma once

#include "common/testutil.h"
#include "mainwindow/frmmain.h"
#include "mainwindow/scripteddialogs.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QSettings>

#include <memory>

// A main window on a temporary program folder (seeded with the shipped xml.lng and sample.txt) and
// an empty settings store. Tests script the dialogs before start() when start-up asks something.
class WindowTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Creates the window (the start-up sequence runs) and shows it.
    FrmMain &start();
    // Closes the window the way the user does (it stays in memory); true when it closed.
    bool closeWindow();

    template <typename T>
    T *child(const QString &name) const
    {
        T *found = window->findChild<T *>(name);
        EXPECT_NE(found, nullptr) << name.toStdString();
        return found;
    }
    QAction *action(const QString &name) const { return child<QAction>(name); }

    static void storeSetting(const QString &key, const QString &value);
    static QString storedSetting(const QString &key);

    TestUtil::TempFolder folder;
    ScriptedDialogs *dialogs = nullptr; // owned by the window
    std::unique_ptr<ScriptedDialogs> pendingDialogs;
    std::unique_ptr<FrmMain> window;
};
