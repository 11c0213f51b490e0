// The preview: the XML pane shows varlex.lng and the sample pane is coloured by it.
#include "editorcontrol/compiledlanguage.h"
#include "mainwindow/frmmain.h"
#include "widgets/tracebox.h"
#include "model/ansicodec.h"
#include "model/programfolder.h"
#include "ui_frmmain.h"
#include "xmlgen/xmlwriter.h"

#include <QFile>

namespace {

constexpr qsizetype kStatusPaneLimit = 64000;

} // namespace

void FrmMain::ViewLanguage()
{
    Trace::entry(QStringLiteral("ViewLanguage"));
    if (ui->txtStatus->text().size() > kStatusPaneLimit)
        ui->txtStatus->setText(QString());
    db_.loading = true;
    const auto fail = [this](const QString &description) {
        db_.loading = false;
        const QListWidgetItem *item = ui->lstLang->currentItem();
        dialogs_->message(this,
                          QStringLiteral("Error reading language file!  Display may contain syntax errors.\r\n\r\n")
                              + description + (item ? item->text() : QString()),
                          QStringLiteral("Error"), Dialogs::Buttons::Ok, Dialogs::Icon::Exclamation);
    };

    const QString path = ProgramFolder::file(XmlWriter::kWorkingFile);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        fail(QStringLiteral("%1: %2").arg(path, file.errorString()));
        return;
    }
    const QByteArray bytes = file.readAll();
    const bool report = ui->txtXML->reportChanges();
    ui->txtXML->setReportChanges(false);
    ui->txtXML->setText(AnsiCodec::decode(bytes));
    ui->txtXML->setReportChanges(report);
    if (debugWindowOpen_)
        appendTimingLine(XmlWriter::timingLine(writer_->startTick(), XmlWriter::tickCount(),
                                               QStringLiteral(" seconds ViewLanguage - after read varlex.lng")));

    if (previewRegistered_) {
        G_.unregisterLanguage(previewLanguage_.get());
        previewRegistered_ = false;
    }
    if (!previewLanguage_->loadData(bytes, path)) {
        fail(previewLanguage_->error().toString());
        return;
    }
    G_.registerLanguage(previewLanguage_);
    previewRegistered_ = true;
    ui->txtSample->setLanguage(CompiledLanguage::compile(*previewLanguage_->definition()));
    if (db_.currentLanguage >= 0 && db_.currentLanguage < db_.languages.size())
        ui->txtSample->setText(db_.current().sampletext);
    if (debugWindowOpen_)
        appendTimingLine(XmlWriter::timingLine(writer_->startTick(), XmlWriter::tickCount(),
                                               QStringLiteral(" seconds end of ViewLanguage")));
    db_.loading = false;
}
