#pragma once

#include "editorcontrol/compiledlanguage.h"
#include "mainwindow/panelcontext.h"
#include "model/recordfields.h"

#include <QObject>
#include <QStringList>

class EditorPane;
class QPushButton;

// The preview: the XML pane (with Apply and Save for manual changes, and Seek) and the sample pane
// coloured by the language being edited, with its margin images.
class PreviewPanel : public QObject {
    Q_OBJECT
public:
    explicit PreviewPanel(PanelContext context, QObject *parent = nullptr);

    EditorPane *xmlPane() const { return txtXML_; }
    EditorPane *samplePane() const { return txtSample_; }

    void cmdApply_Click();
    void cmdSave_Click();
    void txtXML_Change();
    void txtSample_Change();
    void GoToTokenset();
    void LoadImages();
    void imgMargin_Click();
    QStringList marginImageKeys() const { return imageKeys_; }

Q_SIGNALS:
    // Text for the status bar (the margin button's click count).
    void hint(const QString &text);

private:
    void showXml(const QString &xml);
    void showSample(CompiledLanguagePtr language, const QString &text);
    void showSampleText();
    void fieldChanged(int slot, RecordFields::FieldId field);
    void showManualState();

    PanelContext context_;
    EditSession &session_;
    EditorPane *txtXML_;
    EditorPane *txtSample_;
    QPushButton *cmdApply_;
    QPushButton *cmdSave_;
    QStringList imageKeys_; // keys of the margin images, in image order
    int marginClicks_ = 0;
    bool filling_ = false;
};
