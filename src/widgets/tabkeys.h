#pragma once

class QWidget;

// For a text box in which Tab types a tab: Ctrl+Tab and Ctrl+Shift+Tab move the focus to the next
// and the previous control instead, as in every text editor, and type nothing. So does a plain Tab
// while the box was reached with Tab and has not been typed or clicked in since, so that walking
// through the window with Tab never types into a box.
namespace TabKeys {

void leaveWithCtrlTab(QWidget *box);

} // namespace TabKeys
