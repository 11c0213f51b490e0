#pragma once

#include "editorcontrol/compiledlanguage.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

// A language written as a KDE syntax definition (the XML that Kate, KWrite and kate-syntax-highlighter
// load), colouring as Varlex's own engine does.
//
// Varlex takes the longest match at a position, KDE the first rule that matches; each rule is
// therefore one regular expression that matches only where its token wins: it looks ahead at every
// later rule that could match further and gives way when one does. Each open scope is one KDE
// context; a context knows the scopes its chain of transparent scopes reaches, and on a closer of one
// of those it closes itself without taking the text, so that each context out sees the closer again
// until the scope it belongs to takes it. docs/export-kde.md describes the mapping.
namespace KdeSyntaxWriter {

// KDE takes the definition of the highest version among those of one name: higher than any it ships.
constexpr int kVersion = 1000;

struct Options {
    QString extensions; // file patterns, "*.c;*.h"
    int version = kVersion;
};

struct Result {
    QByteArray xml;
    QStringList notes; // what could not be written exactly, one line each
    int contexts = 0;
};

Result write(const CompiledLanguage &language, const Options &options = {});

// The file a language's definition goes to: its name, lower case, with every character that is not
// a letter, a digit, "+", "-" or "_" made "_", and ".xml".
QString fileName(const QString &languageName);

} // namespace KdeSyntaxWriter
