#include "cli/clifolder.h"

#include <QProcess>
#include <gtest/gtest.h>

// The command line every command shares, through the real binary: one row per case.
namespace {

using TestUtil::CliResult;

TEST(CliParser, EveryCommandReadsItsArgumentsByOneSetOfRules)
{
    const CliFolder f({"C", "Dup", "Dup"});
    struct Row {
        QStringList args;
        int exitCode;
        const char *text; // on stdout for exit 0, else on stderr
    };
    const Row rows[] = {
        {{"--version"}, 0, "varlex-cli 1.2.191\n"},
        {{"help", "list"}, 0, "Usage: varlex-cli list [--json] [--output FILE]\n"},
        {{"show", "--index", "--help"}, 0, "Usage: varlex-cli show "},
        {{"help", "nosuch"}, 2, "no command named 'nosuch'"},
        {{"frob"}, 2, "unknown command 'frob'"},
        {{"show", "--index"}, 2, "show: --index needs a value (N) (see 'varlex-cli help show')"},
        {{"show", "--index", "--json"}, 2, "--index needs a value (N)"},
        {{"show", "--index=0", "--index", "1"}, 2, "--index is given more than once"},
        {{"list", "--json=yes"}, 2, "--json takes no value"},
        {{"list", "--bogus"}, 2, "unknown option '--bogus'"},
        {{"list", "x"}, 2, "unexpected argument 'x'"},
        {{"new"}, 2, "NAME is missing"},
        {{"new", ""}, 2, "NAME must not be empty"},
        {{"xml", "--easyread"}, 2, "xml: choose a language with --index N or --name NAME"},
        {{"export", "--to", "x"}, 2, "choose a language with --index N or --name NAME, or --all"},
        {{"delete", "--index", "0", "--folder="}, 2, "--folder needs a value (DIR), not an empty one"},
        {{"delete", "--index", "0", "--folder"}, 2, "--folder needs a value (DIR)"},
        {{"show", "--index", "0", "--name", "C"}, 2, "either --index or --name"},
        {{"xml", "--index", "-1"}, 2, "--index needs a language index (0, 1, ...), not '-1'"},
        {{"sample", "--index", "3"}, 2, "no such language: index 3 (the database holds 0 to 2)"},
        {{"export", "--name", "Nope"}, 2, "no such language: \"Nope\""},
        {{"delete", "--name", "Dup"}, 2, "\"Dup\" names more than one language (indexes 1, 2)"},
        {{"export", "--all", "--index", "0"}, 2, "either --all or one language"},
        {{"export", "--all", "--to", "/nonexistent/a/b"}, 1, "export: Cannot create the export folder"},
        {{"show", "--name", "C", "--field", "tokensets.0.forecolor"}, 0, "#0000FF\n"},
        {{"show", "--index=2", "--field=tokensets.0.validscope.0"}, 0, "NULL\n"},
        {{"show", "--field", "name"}, 2, "choose a language with --index N or --name NAME"},
        {{"show", "--index", "0", "--field", "tokensets.51"}, 2, "no field 'tokensets.51'"},
        {{"list", "--json"}, 0, "\"index\": 2,\n            \"name\": \"Dup\",\n            \"tokensets\": [\n"},
        {{"highlight", "--lng", "-"}, 2, "standard input can be read only once"},
        {{"import", "-", "-"}, 2, "standard input (-) can be read only once"},
    };
    for (const Row &row : rows) {
        const CliResult r = f.run(row.args);
        EXPECT_EQ(r.exitCode, row.exitCode) << row.args.join(' ').toStdString();
        const QByteArray &shown = row.exitCode == 0 ? r.out : r.err;
        EXPECT_TRUE(shown.contains(row.text)) << row.args.join(' ').toStdString() << ": " << shown.toStdString();
        if (row.exitCode != 0)
            EXPECT_TRUE(r.out.isEmpty() && r.err.count('\n') == 1) << r.err.toStdString();
        EXPECT_EQ(f.folder.read("varlex.dat"), f.bytes);
    }
    // An empty folder before the command changes nothing either; -- ends the options.
    EXPECT_EQ(TestUtil::runCli({"--folder", "", "list"}).exitCode, 2);
    EXPECT_EQ(f.run({"new", "--", "--help"}).exitCode, 0);
    EXPECT_EQ(f.run({"show", "--index", "3", "--field", "name"}).out, "--help\n");
}

TEST(CliParser, StandardInputAndOneLineFormats)
{
    const CliFolder f({"Tab\there", "Two\r\nlines\\", "C"});
    EXPECT_EQ(f.run({"list"}).out, "0\tTab\\there\t1\n1\tTwo\\r\\nlines\\\\\t1\n2\tC\t1\n");
    const QByteArray lng = f.run({"xml", "--index", "2"}).out;
    f.folder.write("text.txt", "if x");
    EXPECT_EQ(f.run({"highlight", "--lng", "-", f.folder.file("text.txt")}, lng).exitCode, 0);
    const CliResult imported = f.run({"import", "--allow-duplicate", "-"}, lng);
    EXPECT_EQ(imported.out, "-: language 3 \"C\"\n") << imported.err.toStdString();

    // A write to standard output that fails is an error of the command.
    QProcess p;
    p.setStandardOutputFile(QStringLiteral("/dev/full"));
    p.start(QStringLiteral(VARLEX_CLI_PATH), {"--folder", f.folder.path(), "list"});
    p.waitForFinished();
    EXPECT_EQ(p.exitCode(), 1);
    EXPECT_TRUE(p.readAllStandardError().contains("cannot write to standard output: No space left on device"));
}

} // namespace
