#include "editor/EasyEditorSetters.h"

namespace qrv {

TEasyEditorSetters::TOptionsPlan TEasyEditorSetters::PlanOptions(TEasyEditorOptions before, TEasyEditorOptions after,
                                                                 bool wrapping)
{
    TOptionsPlan plan;
    const TEasyEditorOptions changed = before ^ after;
    plan.Changed = changed != 0;
    plan.UpdateView = plan.Changed;
    plan.RebuildRows = wrapping && (changed & kRowOptions) != 0;
    return plan;
}

TEasyEditorSetters::TPageTypePlan TEasyEditorSetters::PlanPageType(TEasyPageType before, TEasyPageType after)
{
    TPageTypePlan plan;
    plan.Changed = before != after;
    plan.FullLayout = after == TEasyPageType::ptPageLayout;
    plan.SourcePageMode = after != TEasyPageType::ptNormal;
    return plan;
}

}  // namespace qrv
