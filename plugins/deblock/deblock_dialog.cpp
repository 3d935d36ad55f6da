#include "deblock.h"

#include <iterator>

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

constexpr DialogLayout<TMyFilterData> kDeblockDialog = {IDD_DEBLOCK_CONFIG, IDC_VIEWMODE, true, kTrackbars,
                                                        kCheckBoxes};

constexpr const wchar_t* kBlockSizeNames[] = {L"4", L"8", L"16", L"32"};
constexpr int32_t kBlockSizes[] = {4, 8, 16, 32};
constexpr int kDefaultBlockItem = 1;  // "8": also shown for sizes the list lacks

int BlockItemFor(int32_t block) {
  for (int item = 0; item < static_cast<int>(std::size(kBlockSizes)); ++item)
    if (kBlockSizes[item] == block) return item;
  return kDefaultBlockItem;
}

int32_t BlockSizeFor(LRESULT item) {
  return item >= 0 && item < static_cast<LRESULT>(std::size(kBlockSizes)) ? kBlockSizes[item]
                                                                          : kBlockSizes[kDefaultBlockItem];
}

}  // namespace

class TarvuFilter_ConfigDialog final : public TarvuFilter_DialogBase<TMyFilterData, kDeblockDialog> {
 public:
  using TarvuFilter_DialogBase::TarvuFilter_DialogBase;

 private:
  INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_INITDIALOG) FillList(IDC_BLOCK_SIZE, kBlockSizeNames, BlockItemFor(liveSettings->block));
    if (message == WM_COMMAND && LOWORD(wParam) == IDC_BLOCK_SIZE) return OnBlockSizeCommand(HIWORD(wParam));
    return HandleSharedMessage(message, wParam, lParam);
  }

  // The record keeps a size the list lacks until the user picks one.
  INT_PTR OnBlockSizeCommand(int code) {
    if (code != CBN_SELCHANGE) return FALSE;
    liveSettings->block = BlockSizeFor(SendItem(IDC_BLOCK_SIZE, CB_GETCURSEL));
    SettingsChanged();
    return FALSE;
  }
};

intptr_t RunConfigDialog(TMyFilterData& liveSettings, HostPreview* preview, WindowHandle parent) {
  TarvuFilter_ConfigDialog dialog(liveSettings, preview);
  return dialog.RunModal(parent);
}

}  // namespace tarvu
