#pragma once

class QWidget;

// Names for assistive technology. A labelled control takes its label's text (the label is its buddy,
// so the label's mnemonic reaches it too); the controls no label names get their names here.
namespace AccessibleNames {

void apply(QWidget *window);

} // namespace AccessibleNames
