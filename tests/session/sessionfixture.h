#pragma once

#include "common/scriptedprompts.h"
#include "common/templatedatabase.h"
#include "session/editsession.h"

#include <gtest/gtest.h>

#include <QUndoStack>

#include <memory>

// A session on a temporary program folder holding xml.lng and the template database, showing its
// first language.
class SessionTest : public ::testing::Test {
protected:
    void SetUp() override;
    void open(); // (re)creates the session on the folder's database
    QByteArray encoded() const; // the database as varlex.dat holds it
    QString workingFile() const;
    // The current language as the writer's cache gives it, and as a fresh writer builds it whole.
    QString cachedXml();
    QString rebuiltXml();
    QUndoStack &undo() { return session->undoStack(); }

    TestUtil::TempFolder folder;
    ScriptedPrompts prompts;
    std::unique_ptr<EditSession> session;
};
