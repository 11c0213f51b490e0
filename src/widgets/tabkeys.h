#pragma once

class QWidget;

// For a text box in which Tab types a tab: Ctrl+Tab and Ctrl+Shift+Tab move the focus to the next
// and the previous control instead, as in every text editor, and type nothing.
namespace TabKeys {

void leaveWithCtrlTab(QWidget *box);

} // namespace TabKeys
