#pragma once

#include "mainwindow/panelcontext.h"
#include "session/editsession.h"

#include <QObject>

#include <array>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;

// The frame "Tokenset Properties": the controls bound to the current tokenset's fields, the colour
// labels and the ten standard swatches, the inherit and valid-scope choice lists, the two token boxes
// with their attribute templates, and the token list commands of the Tokens menu.
class TokensetPropertiesPanel : public QObject {
    Q_OBJECT
public:
    explicit TokensetPropertiesPanel(PanelContext context, QObject *parent = nullptr);

    void DisplayTokensetProperties();
    void LoadValidScopeLists();
    void LoadValidInheritList();
    int GetIDIndex(const QString &text) const;
    int GetRuleIndex(const QString &text) const;
    int GetTMemberListIndex(const QString &text) const;

    void chkScope_Click();
    qint32 GetColor();
    void lblForeColor_Click();
    void lblBackColor_Click();
    void lblcolor_MouseUp(int index, Qt::MouseButton button);
    void mnucolor_Click(int index);
    void sortTokens(EditSession::TokenTool tool) const;
    void mnuRemoveAttributes_Click();
    void mnuRemoveOne_Click();
    void mnuRemoveAll_Click();
    void mnuToggleFont_Click();
    // Inserts template item (0 to 5) at the caret of token box 1 or 2, replacing the selection.
    void insertTemplate(int box, int item);

    // The ten standard colours (settings Color0 .. Color9).
    qint32 swatch(int index) const;
    void setSwatch(int index, qint32 color);
    int tokenFontSize() const { return tokenFontSize_; }
    void setTokenFontSize(int size);
    // While the status pane lies over the token boxes, their labels and the second box stay as they are.
    void setStatusPaneShown(bool shown);

Q_SIGNALS:
    // The second token box appeared or disappeared: the window lays the frame out again.
    void layoutChanged();
    // Text for the status bar: the token line format while a token box has the focus, empty after.
    void hint(const QString &text);

private:
    void wireFields();
    void wireTools();
    void fieldChanged(int slot, RecordFields::FieldId field);
    void fieldReplayed(int slot, RecordFields::FieldId field, int position);
    void showTokenset();
    void showField(RecordFields::FieldId field);
    void clearTokenset();
    void enableControls(bool on);
    void showTokens2(bool shown);
    void applyTokenFont();
    void setColour(RecordFields::FieldId field, qint32 colour);
    void tokensChanged(QPlainTextEdit *box, RecordFields::FieldId field);
    std::vector<QComboBox *> combos() const;
    std::vector<QCheckBox *> checkBoxes() const; // the flags and chkScope

    PanelContext context_;
    EditSession &session_;
    QComboBox *cmbID_;
    QCheckBox *chkScope_;
    QComboBox *cmbFontStyle_;
    QLabel *lblForeColor_;
    QLabel *lblBackColor_;
    std::array<QLabel *, 10> swatches_;
    std::array<QComboBox *, 10> cmbValidScopes_;
    QComboBox *cmbInherit_;
    QComboBox *cmbTMemberList_;
    QComboBox *cmbRule_;
    QLineEdit *txtLead_;
    QLineEdit *txtTrail_;
    QPlainTextEdit *txtTokens_;
    QPlainTextEdit *txtTokens2_;
    QLabel *lblTokens_;
    QLabel *lbltokens2_;
    std::vector<QCheckBox *> flags_; // bound to the fields of kFlags, in its order
    int tokenFontSize_ = 8;
    bool statusPaneShown_ = false;
    bool filling_ = false;
    bool keepCaret_ = false; // while a field changed by a step is shown in its control
};
