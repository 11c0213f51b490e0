#pragma once

#include "session/editsession.h"

#include <QUndoCommand>

// The user's typing in the XML pane: the pane's text before and after. Keystrokes that follow each
// other without a pause join one step, as in a box. The records do not change.
class ManualXmlCommand : public QUndoCommand {
public:
    static constexpr int kTypingId = 2;

    ManualXmlCommand(EditSession &session, EditSession::Selection at, QString before, QString after, int typingRun);

    int id() const override { return kTypingId; }
    bool mergeWith(const QUndoCommand *other) override;
    void undo() override;
    void redo() override;

private:
    void put(const QString &replaced, const QString &text);

    EditSession &session_;
    EditSession::Selection at_;
    QString before_;
    QString after_;
    int typingRun_;
    bool done_ = false;
};
