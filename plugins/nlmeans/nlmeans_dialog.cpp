#include "nlmeans.h"

#include "framework/dialog_base.h"
#include "resource.h"

namespace tarvu {
namespace {

using Record = TMyFilterData_NlMeans;

constexpr int16_t kLargestHalfSize = 49;

constexpr TrackbarBinding<Record> kTrackbars[] = {
    {IDC_STRENGTH, &Record::strength, 10, 300},
    {IDC_PATCH_SIZE, &Record::patchSize, 0, kLargestHalfSize},
    {IDC_RESEARCH_SIZE, &Record::researchSize, 0, kLargestHalfSize},
    {IDC_CHROMA_PATCH_SIZE, &Record::chromaPatchSize, 0, kLargestHalfSize},
    {IDC_CHROMA_RESEARCH_SIZE, &Record::chromaResearchSize, 0, kLargestHalfSize},
};

constexpr int kChromaControls[] = {IDC_CHROMA_PATCH_SIZE, IDC_CHROMA_RESEARCH_SIZE, IDC_CHROMA_PATCH_LABEL,
                                   IDC_CHROMA_RESEARCH_LABEL};

constexpr CheckBoxBinding<Record> kCheckBoxes[] = {
    {IDC_AUTO_CHROMA, &Record::autoChroma, TickedWhen::kNonZero, kChromaControls},
};

}  // namespace

template <>
inline constexpr DialogLayout<Record> kDialogLayout<Record> = {
    .resourceId = IDD_NLMEANS_CONFIG,
    .viewModeId = IDC_VIEWMODE,
    .redrawReappliesOptions = true,
    .scrollResult = TRUE,
    .trackbars = kTrackbars,
    .checkBoxes = kCheckBoxes,
};

template intptr_t RunConfigDialog(Record&, HostPreview*, WindowHandle);

}  // namespace tarvu
