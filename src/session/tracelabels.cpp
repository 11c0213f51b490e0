#include "session/tracelabels.h"

#include "model/trace.h"

#include <QString>

namespace TraceLabels {

namespace {

using P = Point;

const Label kLabels[] = {
    {P::LoadMemberLists, "LoadMemberLists", "LoadMemberLists", "LoadMemberLists"},
    {P::GoToTokenset, "GoToTokenset", "GoToTokenset", "GoToTokenset"},
    {P::DisplayTokensetProperties, "DisplayTokensetProperties", "DisplayTokensetProperties",
     "DisplayTokensetProperties"},
    {P::DisplayTokensetList, "DisplayTokensetList", "DisplayTokensetList", "DisplayTokensetList"},
    {P::LoadFileData, "LoadFileData", "LoadFileData", "LoadFileData"},
    {P::LoadSampleData_SingleLanguage, "LoadSampleData_SingleLanguage", "LoadSampleData_SingleLanguage",
     "LoadSampleData_SingleLanguage"},
    {P::LoadValidInheritList, "LoadValidInheritList", "LoadValidInheritList", "LoadValidInheritList"},
    {P::LoadValidScopeLists, "LoadValidScopeLists", "LoadValidScopeLists", "LoadValidScopeLists"},
    {P::cmbFontStyle_Click, "cmbFontStyle_Click", "cmbFontStyle", "cmbFontStyle"},
    {P::cmbInherit_Click, "cmbInherit_Click", "cmbInherit", "cmbInherit"},
    {P::cmbLMemberList_Click, "cmbLMemberList_Click", "LMemberlist_click", "cmbLMemberList_click"},
    {P::cmbRule_Click, "cmbRule_Click", "cmbRule", "cmbRule_click"},
    {P::cmbTMemberList_Click, "cmbTMemberList_Click", "cmbTMemberlist_click", "cmbTMemberList_click"},
    {P::cmbValidScopes_Click, "cmbValidScopes_Click", "ValidScope", "cmbValidScopes_click"},
    {P::lstLang_Click, "lstLang_Click", "lstLang_click", "lstLang_click"},
    {P::WriteXML, "WriteXML", "WriteXML", "WriteXML"},
    {P::ViewLanguage, "ViewLanguage", "ViewLanguage", "ViewLanguage"},
    {P::DisplayLanguage, "DisplayLanguage", "DisplayLanguage", "DisplayLanguage"},
    {P::cmbID_Click, "cmbID_Click", "cmbID_click", "cmbID_click"},
    {P::lstTokenset_Click, "lstTokenset_Click", "lstTokenset_click", "lstTokenset_click"},
    {P::lstTokenset_ItemCheck, "lstTokenset_ItemCheck", "lstTokenset_itemcheck", "lstTokenset_itemcheck"},
    {P::txtLead_Change, "txtLead_Change", "txtLead_change", "txtLead_change"},
    {P::txtSample_Change, "txtSample_Change", "txtSample_click", "txtSample_click"},
    {P::txtTokens_Change, "txtTokens_Change", "txtTokens_change", "txtTokens_change"},
    {P::txtTokens2_Change, "txtTokens2_Change", "txtTokens2_change", "txtTokens2_change"},
    {P::txtTrail_Change, "txtTrail_Change", "txtTrail_change", "txtTrail_change"},
    {P::txtWordChars_Change, "txtWordChars_Change", "txtWordChars_change", "txtWordChars_change"},
    {P::txtXML_Change, "txtXML_Change", "txtXML_change", "txtXML_change"},
};

} // namespace

std::span<const Label> all()
{
    return kLabels;
}

const Label &label(Point point)
{
    for (const Label &l : kLabels)
        if (l.point == point)
            return l;
    Q_UNREACHABLE();
}

void enter(Point point)
{
    const Label &l = label(point);
    Trace::entry(QString::fromLatin1(l.status), QString::fromLatin1(l.debug));
}

} // namespace TraceLabels
