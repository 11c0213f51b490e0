#pragma once

#include "editorcontrol/editorglobals.h"
#include "model/database.h"
#include "xmlgen/writerhost.h"
#include "xmlgen/xmlwriter.h"

#include <QString>
#include <QStringList>

// What the XML commands of varlex-cli (xml, validate, export) share: the options, the folders, the
// member lists and the writer over the loaded database.
namespace Cli {

struct XmlOptions {
    int index = -1;          // --index N; -1 when not given
    bool all = false;        // --all
    bool hideDefaults = false;
    bool easyRead = false;
    QString to;              // --to DIR
};

// Reads the options the command accepts (a subset of --index, --all, --to, --hide-defaults,
// --easyread). Returns an empty string, or the usage problem.
QString parseXmlOptions(const QStringList &args, const QStringList &accepted, XmlOptions &options);

// The writer's host for a run without windows.
class CliWriterHost : public WriterHost {
public:
    XmlOptions options;
    EditorGlobals globals;

    bool hideDefaultAttributes() const override { return options.hideDefaults; }
    bool easyReadFormat() const override { return options.easyRead; }
    QString programFolder() const override;
    // --to DIR, else the ExpFolder setting, else language_def in the program folder.
    QString exportFolder() const override;
    const MemberlistLookup *memberlists() const override { return &globals; }
};

// The member-list folder: the MemFolder setting, else language_mem in the program folder.
QString memberListFolder();

// Loads the database and the member lists. Returns the exit code to end with (Ok to go on); a
// damaged file is reported and loaded as far as it could be read (damaged is set).
int loadForXml(Database &db, CliWriterHost &host, bool &damaged);

// Checks --index against the database; returns Ok or the usage exit code after reporting.
int checkIndex(const Database &db, int index, const char *command);

} // namespace Cli
