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

    EditCommand(EditSession &session, const QString &text, Side undo, Side redo, bool changesDatabase,
                bool languageList, EditSession::Refresh refresh, int mode);

    void undo() override;
    void redo() override;
    bool changesDatabase() const { return changesDatabase_; }

protected:
    EditSession &session_;

private:
    Side undo_;
    Side redo_;
    bool changesDatabase_;
    bool languageList_;
    EditSession::Refresh refresh_;
    int mode_;
    bool done_ = false;
};
