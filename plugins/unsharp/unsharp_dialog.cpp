#include "unsharp.h"

#include "framework/dialog_base.h"
#include "resource.h"

namespace tarvu {
namespace {

constexpr int16_t kLargestSizeCode = 10;  // the option builder sends 9 and 10 alike
constexpr int16_t kStrongestAmount = 15;

constexpr TrackbarBinding<TMyFilterData> kTrackbars[] = {
    {IDC_LUMA_X, &TMyFilterData::lumaX, 0, kLargestSizeCode},
    {IDC_LUMA_Y, &TMyFilterData::lumaY, 0, kLargestSizeCode},
    {IDC_LUMA_STRENGTH, &TMyFilterData::lumaStrength, -kStrongestAmount, kStrongestAmount},
    {IDC_CHROMA_X, &TMyFilterData::chromaX, 0, kLargestSizeCode},
    {IDC_CHROMA_Y, &TMyFilterData::chromaY, 0, kLargestSizeCode},
    {IDC_CHROMA_STRENGTH, &TMyFilterData::chromaStrength, -kStrongestAmount, kStrongestAmount},
};

}  // namespace

template <>
inline constexpr DialogLayout<TMyFilterData> kDialogLayout<TMyFilterData> = {
    .resourceId = IDD_UNSHARP_CONFIG,
    .viewModeId = IDC_VIEWMODE,
    .redrawReappliesOptions = true,
    .scrollResult = TRUE,
    .trackbars = kTrackbars,
};

template intptr_t RunConfigDialog(TMyFilterData&, HostPreview*, WindowHandle);

}  // namespace tarvu
