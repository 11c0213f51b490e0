#pragma once

#include "mainwindow/panelcontext.h"
#include "model/recordfields.h"

#include <QObject>

class QCheckBox;
class QComboBox;
class QLineEdit;

// The language-wide fields of the frame "Language": the three flags, the word characters and the
// language's member list.
class LanguagePropertiesPanel : public QObject {
    Q_OBJECT
public:
    explicit LanguagePropertiesPanel(PanelContext context, QObject *parent = nullptr);

    void DisplayLanguage();
    int GetLMemberListIndex(const QString &text) const;
    void txtWordChars_Change();
    void cmbLMemberList_Click(int index);

private:
    void showFields(bool keepCaret);
    void fillMemberLists();
    void fieldChanged(int slot, RecordFields::FieldId field);

    PanelContext context_;
    EditSession &session_;
    QCheckBox *chkDefaultCase_;
    QCheckBox *chkOverride_;
    QCheckBox *chkWhite_;
    QLineEdit *txtWordChars_;
    QComboBox *cmbLMemberList_;
    bool filling_ = false;
};
