#include "editorcontrol/definitiontables.h"

#include <array>

namespace {

// Index i holds the name of id number i + 1.
constexpr std::array<const char *, 31> kIds = {
    "text",          "numbers",          "keywords",      "operators",         "scopekeywords",
    "blockcomments", "linecomments",     "strings",       "tagdelimiters",     "tagtext",
    "tagentities",   "tagelementnames",  "tagattributenames", "linenumbers",   "hyperlinks",
    "variables",     "escapeseqs",       "charliterals",  "identifiers",       "attributeblocks",
    "attributekeywordblocks", "attributetext", "environmentvars", "cdatadelimiters", "cdatatext",
    "sectionheadings", "valuenames",     "parameterblocks", "argseparators",   "whitespace",
    "statementdelims",
};

constexpr std::array<const char *, 5> kFontStyles = {"normal", "bold", "italic", "bolditalic", "underline"};

constexpr int kFirstCommand = 259;
constexpr std::array<const char *, 5> kCommands = {"ListMembers", "CompleteWord", "CommitMember",
                                                   "ParameterInfo", "QuickInfo"};

template <size_t N>
int indexOf(const std::array<const char *, N> &table, QStringView name)
{
    for (size_t i = 0; i < N; ++i) {
        if (name.compare(QLatin1StringView(table[i]), Qt::CaseInsensitive) == 0)
            return int(i);
    }
    return -1;
}

} // namespace

namespace DefinitionTables {

int idNumber(QStringView name)
{
    return indexOf(kIds, name) + 1;
}

QString idName(int number)
{
    if (number < 2 || number > int(kIds.size()))
        return QStringLiteral("text");
    return QString::fromLatin1(kIds[size_t(number - 1)]);
}

int fontStyleNumber(QStringView name)
{
    return indexOf(kFontStyles, name);
}

QString fontStyleName(int number)
{
    if (number < 1 || number > 4)
        return QStringLiteral("normal");
    return QString::fromLatin1(kFontStyles[size_t(number)]);
}

int commandNumber(QStringView action)
{
    const int i = indexOf(kCommands, action);
    return i < 0 ? 0 : kFirstCommand + i;
}

QString commandName(int number)
{
    const int i = number - kFirstCommand;
    if (i < 0 || i >= int(kCommands.size()))
        return QString();
    return QString::fromLatin1(kCommands[size_t(i)]);
}

} // namespace DefinitionTables
