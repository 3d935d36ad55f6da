#include "smartblur.h"

#include "framework/dialog_base.h"
#include "resource.h"

namespace tarvu {
namespace {

using Record = TMyFilterData_smartblur;

constexpr TrackbarBinding<Record> kTrackbars[] = {
    {IDC_LUMA_RADIUS, &Record::lumaRadius, 1, 50, 10},
    {IDC_LUMA_STRENGTH, &Record::lumaStrength, -10, 10, 0},
    {IDC_LUMA_THRESHOLD, &Record::lumaThreshold, -30, 30, 0},
    {IDC_CHROMA_RADIUS, &Record::chromaRadius, 1, 50, 10},
    {IDC_CHROMA_STRENGTH, &Record::chromaStrength, -10, 10, 0},
    {IDC_CHROMA_THRESHOLD, &Record::chromaThreshold, -30, 30, 0},
};

// Changes nothing else in the dialog: the option builder ignores the chroma
// values while the box is clear.
constexpr CheckBoxBinding<Record> kCheckBoxes[] = {
    {IDC_SEPARATE_CHROMA, &Record::separateChroma, TickedWhen::kNonZero},
};

constexpr ResetBinding<Record> kResetButtons[] = {
    {IDC_RESET_LUMA_RADIUS, IDC_LUMA_RADIUS, &Record::lumaRadius},
    {IDC_RESET_LUMA_STRENGTH, IDC_LUMA_STRENGTH, &Record::lumaStrength},
    {IDC_RESET_LUMA_THRESHOLD, IDC_LUMA_THRESHOLD, &Record::lumaThreshold},
    {IDC_RESET_CHROMA_RADIUS, IDC_CHROMA_RADIUS, &Record::chromaRadius},
    {IDC_RESET_CHROMA_STRENGTH, IDC_CHROMA_STRENGTH, &Record::chromaStrength},
    {IDC_RESET_CHROMA_THRESHOLD, IDC_CHROMA_THRESHOLD, &Record::chromaThreshold},
};

}  // namespace

template <>
inline constexpr DialogLayout<Record> kDialogLayout<Record> = {
    .resourceId = IDD_SMARTBLUR_CONFIG,
    .viewModeId = IDC_VIEWMODE,
    .redrawReappliesOptions = false,
    .scrollResult = FALSE,
    .trackbars = kTrackbars,
    .checkBoxes = kCheckBoxes,
    .resetButtons = kResetButtons,
    .resetIconId = IDI_RESET,
};

template intptr_t RunConfigDialog(Record&, HostPreview*, WindowHandle);

}  // namespace tarvu
