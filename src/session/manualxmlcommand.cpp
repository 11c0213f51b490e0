#include "session/manualxmlcommand.h"
#include "session/fieldcommand.h"

#include <QCoreApplication>

ManualXmlCommand::ManualXmlCommand(EditSession &session, EditSession::Selection at, QString before, QString after,
                                   int typingRun)
    : QUndoCommand(QCoreApplication::translate("ManualXmlCommand", "Edit XML Code"))
    , session_(session)
    , at_(at)
    , before_(std::move(before))
    , after_(std::move(after))
    , typingRun_(typingRun)
{
}

bool ManualXmlCommand::mergeWith(const QUndoCommand *other)
{
    const auto *next = dynamic_cast<const ManualXmlCommand *>(other);
    if (!next || next->typingRun_ != typingRun_ || next->at_.language != at_.language)
        return false;
    after_ = next->after_;
    setObsolete(after_ == before_);
    return true;
}

void ManualXmlCommand::put(const QString &replaced, const QString &text)
{
    session_.putManualXml(at_, text, true);
    Q_EMIT session_.manualXmlReplayed(FieldCommand::changeEnd(replaced, text));
}

void ManualXmlCommand::undo()
{
    put(after_, before_);
}

void ManualXmlCommand::redo()
{
    if (done_) {
        put(before_, after_);
        return;
    }
    done_ = true;
    session_.putManualXml(at_, after_, false); // the pane shows it already
}
