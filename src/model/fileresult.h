#pragma once

#include <QString>

// Outcome of a file operation of the model. The message is one line naming the file and the cause,
// ready for a message box or stderr; it is empty when everything went well.
struct FileResult {
    enum Status {
        Ok,
        Damaged, // the file was read, but not all of it made sense (load only)
        Failed   // nothing was done (or, for load, nothing could be read)
    };

    Status status = Ok;
    QString message;

    bool ok() const { return status == Ok; }
    static FileResult failed(const QString &message) { return {Failed, message}; }
};
