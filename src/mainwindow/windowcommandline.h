#pragma once

#include <QString>
#include <QStringList>

// The window's command line. --help and --version answer and end the program before any window
// system is needed; every other argument names a language file that the window imports once it
// has started (so that a file manager's "Open with" works).
class WindowCommandLine {
public:
    // Reads the arguments, the program name first. Needs a QCoreApplication for the help text.
    static WindowCommandLine read(const QStringList &arguments);

    bool exitNow = false;   // help, version or a usage error: print and end without a window
    int exitCode = 0;
    QString output;         // for stdout
    QString error;          // for stderr
    QStringList files;      // absolute paths, in the order given
};
