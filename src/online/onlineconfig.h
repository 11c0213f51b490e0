#pragma once

#include <QString>

// Where the program's online services point: the maker's web server, the support page and the
// author's mail address. The defaults are neutral placeholders; an "online.ini" file in the program
// folder may replace any of them (docs/online.md).
struct OnlineConfig {
    QString host = QStringLiteral("http://www.example.org");
    QString supportPage = QStringLiteral("http://www.example.org/support");
    QString email = QStringLiteral("author@example.org");

    // The defaults, overridden by the keys Host, SupportPage and Email of section [Online] of
    // programFolder/online.ini when that file exists. Empty values keep the default.
    static OnlineConfig load(const QString &programFolder);

    // The fixed paths and query on top of the configured values.
    QString messageUrl() const;   // host + "/files/varlexmessage.txt"
    QString webSiteUrl() const;   // host + "/free"
    QString forumUrl() const;     // host + "/phpbb"
    QString onlineHelpUrl() const; // host + "/free/varlex.htm"
    QString mailUrl() const;      // mailto: link with the fixed subject and body
};
