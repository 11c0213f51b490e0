#include "session/fieldcommand.h"

FieldCommand::FieldCommand(EditSession &session, const QString &text, RecordFields::FieldId field, int slot,
                           EditSession::Selection at, QVariant before, QVariant after, int typingRun)
    : QUndoCommand(text)
    , session_(session)
    , field_(field)
    , slot_(slot)
    , at_(at)
    , before_(std::move(before))
    , after_(std::move(after))
    , typingRun_(typingRun)
{
}

bool FieldCommand::mergeWith(const QUndoCommand *other)
{
    const auto *next = dynamic_cast<const FieldCommand *>(other);
    if (!next || next->typingRun_ != typingRun_ || next->field_ != field_ || next->slot_ != slot_
        || next->at_.language != at_.language)
        return false;
    after_ = next->after_;
    setObsolete(after_ == before_);
    return true;
}

void FieldCommand::put(const QVariant &value)
{
    RecordFields::store(session_.db_.languages[at_.language], slot_ < 0 ? 0 : slot_, field_, value);
}

qsizetype FieldCommand::changeEnd(const QString &replaced, const QString &put)
{
    const qsizetype shorter = qMin(replaced.size(), put.size());
    qsizetype prefix = 0;
    while (prefix < shorter && replaced[prefix] == put[prefix])
        ++prefix;
    qsizetype suffix = 0;
    while (suffix < shorter - prefix && replaced[replaced.size() - 1 - suffix] == put[put.size() - 1 - suffix])
        ++suffix;
    return put.size() - suffix;
}

void FieldCommand::placeCaret(const QVariant &replaced, const QVariant &put) const
{
    if (put.typeId() == QMetaType::QString)
        Q_EMIT session_.fieldReplayed(slot_, field_, int(changeEnd(replaced.toString(), put.toString())));
}

void FieldCommand::undo()
{
    put(before_);
    session_.replayed(at_, false, true);
    placeCaret(after_, before_);
}

void FieldCommand::redo()
{
    put(after_);
    if (done_) {
        session_.replayed(at_, false, true);
        placeCaret(before_, after_);
        return;
    }
    done_ = true;
    session_.applied(EditSession::Refresh::Field, RecordFields::field(field_).inDefinition, at_, slot_, field_, typingRun_ > 0);
}
