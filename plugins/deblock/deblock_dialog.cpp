#include "deblock.h"

#include "framework/dialog_base.h"
#include "resource.h"

namespace tarvu {
namespace {

constexpr TrackbarBinding<TMyFilterData> kTrackbars[] = {
    {IDC_ALPHA, &TMyFilterData::alpha, 0, 100},
    {IDC_BETA, &TMyFilterData::beta, 0, 100},
    {IDC_GAMMA, &TMyFilterData::gamma, 0, 100},
    {IDC_DELTA, &TMyFilterData::delta, 0, 100},
};

constexpr CheckBoxBinding<TMyFilterData> kCheckBoxes[] = {
    {IDC_STRONG_DEBLOCK, &TMyFilterData::weak, TickedWhen::kZero},
    {IDC_LUMA_ONLY, &TMyFilterData::lumaOnly, TickedWhen::kNonZero},
};

constexpr const wchar_t* kBlockSizeNames[] = {L"4", L"8", L"16", L"32"};
constexpr int32_t kBlockSizes[] = {4, 8, 16, 32};

// "8" is also shown for a size the list lacks; the record keeps that size
// until the user picks one.
constexpr ListBinding<TMyFilterData> kLists[] = {
    {IDC_BLOCK_SIZE, &TMyFilterData::block, kBlockSizeNames, kBlockSizes, 1, 8},
};

}  // namespace

template <>
inline constexpr DialogLayout<TMyFilterData> kDialogLayout<TMyFilterData> = {
    .resourceId = IDD_DEBLOCK_CONFIG,
    .viewModeId = IDC_VIEWMODE,
    .redrawReappliesOptions = true,
    .scrollResult = TRUE,
    .trackbars = kTrackbars,
    .checkBoxes = kCheckBoxes,
    .lists = kLists,
};

template intptr_t RunConfigDialog(TMyFilterData&, HostPreview*, WindowHandle);

}  // namespace tarvu
