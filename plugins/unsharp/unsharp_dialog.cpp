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

constexpr DialogLayout<TMyFilterData> kUnsharpDialog = {IDD_UNSHARP_CONFIG, IDC_VIEWMODE, true, kTrackbars, {}};

}  // namespace

class TarvuFilter_ConfigDialog final : public TarvuFilter_DialogBase<TMyFilterData, kUnsharpDialog> {
 public:
  using TarvuFilter_DialogBase::TarvuFilter_DialogBase;
};

intptr_t RunConfigDialog(TMyFilterData& liveSettings, HostPreview* preview, WindowHandle parent) {
  TarvuFilter_ConfigDialog dialog(liveSettings, preview);
  return dialog.RunModal(parent);
}

}  // namespace tarvu
