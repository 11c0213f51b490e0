#pragma once

#include "session/editsession.h"

#include <QUndoCommand>

#include <functional>

// One recorded step of the session: how to do it and how to take it back, the selection on each
// side, and what the panels show again when it is first done. Doing it again or taking it back
// selects the step's side and shows and rebuilds the language whole.
class EditCommand : public QUndoCommand {
public:
    struct Side {
        std::function<void()> apply;
        EditSession::Selection selection;
    };

    using Effect = EditSession::StepEffect;

    EditCommand(EditSession &session, const QString &text, Side undo, Side redo, Effect effect);

    void undo() override;
    void redo() override;
    bool changesDatabase() const { return effect_.changesDatabase; }

protected:
    EditSession &session_;

private:
    Side undo_;
    Side redo_;
    Effect effect_;
    bool done_ = false;
};
