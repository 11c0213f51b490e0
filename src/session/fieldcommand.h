#pragma once

#include "session/editsession.h"

#include <QUndoCommand>
#include <QVariant>

// One field of one language or tokenset set to a new value. Keystrokes in one box that follow each
// other without a pause join one step (they share a typing run).
class FieldCommand : public QUndoCommand {
public:
    static constexpr int kTypingId = 1;

    FieldCommand(EditSession &session, const QString &text, RecordFields::FieldId field, int slot,
                 EditSession::Selection at, QVariant before, QVariant after, int typingRun);

    // Where a control puts its caret after an undo or redo replaced one text by another: at the end
    // of the part that differs.
    static qsizetype changeEnd(const QString &replaced, const QString &put);

    int id() const override { return typingRun_ > 0 ? kTypingId : -1; }
    bool mergeWith(const QUndoCommand *other) override;
    void undo() override;
    void redo() override;

private:
    void put(const QVariant &value);
    void placeCaret(const QVariant &replaced, const QVariant &put) const;

    EditSession &session_;
    RecordFields::FieldId field_;
    int slot_; // the tokenset slot, -1 for a language field
    EditSession::Selection at_;
    QVariant before_;
    QVariant after_;
    int typingRun_;
    bool done_ = false;
};
