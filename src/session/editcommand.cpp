#include "session/editcommand.h"

EditCommand::EditCommand(EditSession &session, const QString &text, Side undo, Side redo, Effect effect)
    : QUndoCommand(text)
    , session_(session)
    , undo_(std::move(undo))
    , redo_(std::move(redo))
    , effect_(effect)
{
}

void EditCommand::undo()
{
    undo_.apply();
    session_.replayed(undo_.selection, effect_.languageList, effect_.changesDatabase || effect_.regenerates);
}

void EditCommand::redo()
{
    redo_.apply();
    if (done_) {
        session_.replayed(redo_.selection, effect_.languageList, effect_.changesDatabase || effect_.regenerates);
        return;
    }
    done_ = true;
    session_.applied(effect_.refresh, effect_.regenerates, redo_.selection, -1, RecordFields::FieldId::Tokens);
}
