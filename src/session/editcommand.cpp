#include "session/editcommand.h"

EditCommand::EditCommand(EditSession &session, const QString &text, Side undo, Side redo, bool changesDatabase,
                         bool languageList, EditSession::Refresh refresh, int mode)
    : QUndoCommand(text)
    , session_(session)
    , undo_(std::move(undo))
    , redo_(std::move(redo))
    , changesDatabase_(changesDatabase)
    , languageList_(languageList)
    , refresh_(refresh)
    , mode_(mode)
{
}

void EditCommand::undo()
{
    undo_.apply();
    session_.replayed(undo_.selection, languageList_, changesDatabase_ || mode_ >= 0);
}

void EditCommand::redo()
{
    redo_.apply();
    if (done_) {
        session_.replayed(redo_.selection, languageList_, changesDatabase_ || mode_ >= 0);
        return;
    }
    done_ = true;
    session_.applied(refresh_, mode_, redo_.selection, -1, RecordField::Field::Tokens);
}
