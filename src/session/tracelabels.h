#pragma once

#include <span>

// The trace points of the window: each handler or procedure that records itself when it starts,
// with the label it writes to the status pane (Trace mode) and the one it writes to the trace
// window. The record operations (LoadFileData, LoadSampleData_SingleLanguage) and the XML writer
// (WriteXML) write their own labels, which are listed here too.
namespace TraceLabels {

enum class Point {
    LoadMemberLists, GoToTokenset, DisplayTokensetProperties, DisplayTokensetList, LoadFileData,
    LoadSampleData_SingleLanguage, LoadValidInheritList, LoadValidScopeLists, cmbFontStyle_Click,
    cmbInherit_Click, cmbLMemberList_Click, cmbRule_Click, cmbTMemberList_Click, cmbValidScopes_Click,
    lstLang_Click, WriteXML, ViewLanguage, DisplayLanguage, cmbID_Click, lstTokenset_Click,
    lstTokenset_ItemCheck, txtLead_Change, txtSample_Change, txtTokens_Change, txtTokens2_Change,
    txtTrail_Change, txtWordChars_Change, txtXML_Change,
};

struct Label {
    Point point;
    const char *handler;
    const char *status; // to the status pane
    const char *debug;  // to the trace window
};

std::span<const Label> all();
const Label &label(Point point);

// Writes the point's labels through the trace sink.
void enter(Point point);

} // namespace TraceLabels
