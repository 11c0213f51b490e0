#pragma once

#include "editorcontrol/editorglobals.h"
#include "model/database.h"
#include "xmlgen/writerhost.h"
#include "xmlgen/xmlwriter.h"

#include <QString>

// What the XML commands of varlex-cli (xml, validate, export) share: the folders, the member lists
// and the writer over the loaded database.
namespace Cli {

class Arguments;

// The options of the XML commands that shape the output.
inline constexpr const char *kHideDefaults = "hide-defaults";
inline constexpr const char *kEasyRead = "easyread";

// The writer's host for a run without windows.
class CliWriterHost : public WriterHost {
public:
    explicit CliWriterHost(const Arguments &args);

    bool hideDefaultAttributes() const override { return hideDefaults_; }
    bool easyReadFormat() const override { return easyRead_; }
    QString programFolder() const override;
    // --output DIR (or --to DIR), else the ExpFolder setting, else language_def in the program folder.
    QString exportFolder() const override;
    const MemberlistLookup *memberlists() const override { return &globals; }

    EditorGlobals globals;

private:
    bool hideDefaults_;
    bool easyRead_;
    QString to_;
};

// The member-list folder: the MemFolder setting, else language_mem in the program folder.
QString memberListFolder();

// Registers the member lists of the member-list folder and returns their names; each list that
// cannot be loaded is reported and left out.
QStringList loadMemberLists(EditorGlobals &globals);

// Loads the database (see loadForReading) and the member lists. Returns Ok or the exit code to end
// with; damaged is set for a damaged file, reported once and loaded as far as it could be read.
int loadForXml(Database &db, CliWriterHost &host, bool &damaged);

} // namespace Cli
