#pragma once

#include "common/testutil.h"
#include "model/databasefile.h"
#include "xmlgen/fakehost.h"

// A program folder holding a database, and varlex-cli run on it.
struct CliFolder {
    TestUtil::TempFolder folder;
    QVector<Language> languages;
    QByteArray bytes; // varlex.dat as last written

    // Demo languages (one tokenset, Keywords) with these names.
    explicit CliFolder(const QStringList &names)
    {
        for (const QString &name : names) {
            languages.append(demoLanguage());
            languages.last().name = name;
        }
        write();
    }
    void write()
    {
        DatabaseFile::encode(languages, bytes);
        folder.write("varlex.dat", bytes);
    }
    TestUtil::CliResult run(const QStringList &args, const QByteArray &input = {}) const
    {
        return TestUtil::runCli(QStringList{"--folder", folder.path()} + args, input);
    }
};
