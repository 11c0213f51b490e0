// New languages from the template, import of language files, member lists and margin images.
#include "editorcontrol/memberlistfolder.h"
#include "import/languageimport.h"
#include "mainwindow/editstate.h"
#include "mainwindow/frmmain.h"
#include "model/languagetemplate.h"
#include "model/programfolder.h"
#include "ui_frmmain.h"

#include <QDir>
#include <QFileInfo>
#include <QPixmap>
#include <QSignalBlocker>

void FrmMain::mnuNew_Click()
{
    const QString answer = dialogs_->input(this, QStringLiteral("Enter new langauge name:"),
                                           QStringLiteral("New Language"), QStringLiteral("New Language"));
    if (answer.isEmpty())
        return;
    const LanguageTemplate::Result result =
        LanguageTemplate::LoadSampleData_SingleLanguage(db_, answer, ProgramFolder::path(), defaultSampleText_);
    if (result.idsRead) {
        const QSignalBlocker blocker(ui->cmbID);
        ui->cmbID->clear();
        ui->cmbID->addItems(result.ids);
    }
    {
        const QSignalBlocker blocker(ui->lstLang);
        ui->lstLang->addItem(answer);
    }
    // A new language is unsaved work: closing must offer to save it.
    db_.dirty = true;
    ui->lstLang->setCurrentRow(result.index);
    if (!result.message.isEmpty())
        dialogs_->message(this, result.message, QStringLiteral("New Language"), Dialogs::Buttons::Ok,
                          Dialogs::Icon::Exclamation);
}

bool FrmMain::ChooseImportFile()
{
    const QString file = dialogs_->openFile(this, QStringLiteral("Import Language File"), importFolder_,
                                            QStringLiteral("Source Code Files (*.lng)"));
    if (file.isEmpty())
        return false;
    edit_->importFile = file;
    importFolder_ = QFileInfo(file).absolutePath();
    return true;
}

void FrmMain::mnuImport_Click()
{
    if (!ChooseImportFile())
        return;
    LanguageObject &preview = *previewLanguage_;
    const bool wasRegistered = previewRegistered_;
    if (wasRegistered)
        G_.unregisterLanguage(&preview);
    const LanguageImport::Result result = LanguageImport::importFile(
        db_, preview, edit_->importFile, ui->mnuAutoInclude->isChecked(), defaultSampleText_);
    if (wasRegistered)
        G_.registerLanguage(previewLanguage_);
    if (!result.ok) {
        dialogs_->message(this, result.messageText(), QString::fromLatin1(LanguageImport::kTitle),
                          Dialogs::Buttons::Ok, Dialogs::Icon::Exclamation);
        return;
    }
    {
        const QSignalBlocker blocker(ui->lstLang);
        ui->lstLang->addItem(db_.languages[result.index].name);
    }
    ui->lstLang->setCurrentRow(result.index);
}

void FrmMain::LoadMemberLists()
{
    Trace::entry(QStringLiteral("LoadMemberLists"));
    const QSignalBlocker blockL(ui->cmbLMemberList);
    const QSignalBlocker blockT(ui->cmbTMemberList);
    for (QComboBox *box : {ui->cmbLMemberList, ui->cmbTMemberList}) {
        box->clear();
        box->addItem(QStringLiteral("<none>"));
    }
    const MemberListFolder::Result result = MemberListFolder::LoadMemberLists(G_, memberListFolder_);
    for (const QString &name : result.names) {
        ui->cmbLMemberList->addItem(name);
        ui->cmbTMemberList->addItem(name);
    }
    ui->cmbLMemberList->setCurrentIndex(0);
    ui->cmbTMemberList->setCurrentIndex(0);
    if (!result.problems.isEmpty())
        dialogs_->message(this,
                          QStringLiteral("These member lists could not be loaded and are left out:\r\n")
                              + result.problems.join(QStringLiteral("\r\n")),
                          QStringLiteral("Load Member Lists"), Dialogs::Buttons::Ok, Dialogs::Icon::Exclamation);
}

void FrmMain::mnuSelectMemberlist_Click()
{
    const QString folder = SelectRootFolder();
    if (folder.isEmpty())
        return;
    memberListFolder_ = folder;
    LoadMemberLists();
    if (!db_.languages.isEmpty()) {
        DisplayLanguage();
        DisplayTokensetProperties();
    }
}

QStringList FrmMain::marginImageKeys() const
{
    return edit_->imageKeys;
}

void FrmMain::LoadImages()
{
    Trace::entry(QStringLiteral("LoadImages"));
    edit_->imageKeys.clear();
    QList<QPixmap> images;
    const QDir dir(marginImageFolder_);
    if (!marginImageFolder_.isEmpty() && dir.exists()) {
        for (const QString &name : dir.entryList(QDir::Files, QDir::Name)) {
            QString problem;
            const QString key = QStringLiteral("mar:") + name.left(name.size() - 4).toLower();
            QPixmap picture;
            if (name.size() <= 4)
                problem = QStringLiteral("5 The file name %1 is too short to name an image.").arg(name);
            else if (!picture.load(dir.filePath(name)))
                problem = QStringLiteral("481 %1 is not a picture.").arg(QDir::toNativeSeparators(dir.filePath(name)));
            else if (edit_->imageKeys.contains(key))
                problem = QStringLiteral("35602 The image key %1 of %2 is used by another file.").arg(key, name);
            else if (images.size() >= EditorPane::kMaxMarginImages)
                problem = QStringLiteral("6 Only %1 margin images can be shown; %2 and later files are left out.")
                              .arg(EditorPane::kMaxMarginImages)
                              .arg(name);
            if (!problem.isEmpty()) {
                dialogs_->message(this, problem, QStringLiteral("Load Icons"), Dialogs::Buttons::Ok, Dialogs::Icon::None);
                break;
            }
            images.append(picture);
            edit_->imageKeys.append(key);
        }
    }
    ui->txtSample->setMarginImages(images);
}

void FrmMain::mnuSelectImageFolder_Click()
{
    const QString folder = SelectRootFolder();
    if (folder.isEmpty())
        return;
    marginImageFolder_ = folder;
    LoadImages();
}

void FrmMain::imgMargin_Click()
{
    ++edit_->marginClicks;
    const int line = ui->txtSample->selectionLine();
    ui->txtSample->setMarginImageBits(line, ui->txtSample->marginImageBits(line) ^ 2);
    setStatusBarText(QString::number(edit_->marginClicks));
}
