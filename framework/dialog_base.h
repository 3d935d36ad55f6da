// The dialog base of every configuration dialog, and the behaviour they all
// share: the Preview button and the view list, OK and Cancel, and trackbars
// and check boxes bound to settings fields, each change applied at once.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <cstdint>
#include <optional>
#include <span>

#include "dialog_ids.h"
#include "host_interface.h"
#include "settings_record.h"

namespace tarvu {

// Posted by a dialog to itself after every change; its handler redraws the
// preview once the change's own handler has returned.
inline constexpr UINT MSG_SETTINGS_CHANGED = WM_APP + 300;
static_assert(MSG_SETTINGS_CHANGED == 0x812C);

class VDXVideoFilterDialog {
 public:
  static INT_PTR CALLBACK StaticDlgProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  HWND windowHandle = nullptr;

 protected:
  VDXVideoFilterDialog() = default;
  ~VDXVideoFilterDialog() = default;
  virtual INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) = 0;
};

// Runs a dialog resource of this module modally with `dialog` attached.
// Returns the dialog's end value, or -1 when it could not be created.
intptr_t RunModalDialog(VDXVideoFilterDialog& dialog, int resourceId, WindowHandle parent);

template <typename Settings>
struct TrackbarBinding {
  int id;
  FieldRef<Settings> field;
  int16_t minimum;
  int16_t maximum;
  std::optional<int32_t> tic = std::nullopt;
};

enum class TickedWhen { kNonZero, kZero };

template <typename Settings>
struct CheckBoxBinding {
  int id;
  FieldRef<Settings> field;
  TickedWhen ticked;  // kZero: the box names the field's opposite
  // Controls hidden while the box is ticked; their values stay as they are.
  std::span<const int> hiddenWhileTicked = {};
};

// A drop-down list whose items stand for values of one field.
template <typename Settings>
struct ListBinding {
  int id;
  FieldRef<Settings> field;
  std::span<const wchar_t* const> items;
  std::span<const int32_t> values;  // one per item
  int unlistedItem;                 // shown for a value no item has; -1: no selection
  std::optional<int32_t> noSelectionValue;  // stored when nothing is selected; none: the field keeps its value
};

// A button that puts one trackbar's field back to its default.
template <typename Settings>
struct ResetBinding {
  int id;
  int trackbarId;
  FieldRef<Settings> field;
};

template <typename Settings>
struct DialogLayout {
  int resourceId;
  int viewModeId;
  bool redrawReappliesOptions;  // MSG_SETTINGS_CHANGED sets reinitPending again
  BOOL scrollResult;            // what a handled trackbar notification answers
  std::span<const TrackbarBinding<Settings>> trackbars;
  std::span<const CheckBoxBinding<Settings>> checkBoxes = {};
  std::span<const ListBinding<Settings>> lists = {};
  std::span<const ResetBinding<Settings>> resetButtons = {};
  int resetIconId = 0;  // the icon the reset buttons show
};

// A dialog on the live settings record, described by `kLayout`. A plug-in
// whose dialog does more derives from it, handles its own messages and
// passes everything else to HandleSharedMessage.
template <typename Settings, const DialogLayout<Settings>& kLayout>
class TarvuFilter_DialogBase : public VDXVideoFilterDialog {
 public:
  TarvuFilter_DialogBase(Settings& live, HostPreview* hostPreview) : liveSettings(&live), preview(hostPreview) {}
  TarvuFilter_DialogBase(const TarvuFilter_DialogBase&) = delete;
  TarvuFilter_DialogBase& operator=(const TarvuFilter_DialogBase&) = delete;
  // Each opening loads its own icon; it goes with the dialog.
  ~TarvuFilter_DialogBase() {
    if (resetIcon) DestroyIcon(resetIcon);
  }

  intptr_t RunModal(WindowHandle parent) { return RunModalDialog(*this, kLayout.resourceId, parent); }

  Settings* liveSettings;
  HostPreview* preview;
  HICON resetIcon = nullptr;

 protected:
  INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    return HandleSharedMessage(message, wParam, lParam);
  }

  INT_PTR HandleSharedMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
      case WM_INITDIALOG:
        InitSharedControls();
        return TRUE;
      case WM_COMMAND:
        return OnCommand(LOWORD(wParam), HIWORD(wParam));
      case WM_HSCROLL:
        return OnScroll(reinterpret_cast<HWND>(lParam));
      case MSG_SETTINGS_CHANGED:
        if (kLayout.redrawReappliesOptions) liveSettings->reinitPending = true;
        preview->RedoFrame();
        return TRUE;
      default:
        return FALSE;
    }
  }

  // The change step: the record already holds the new value.
  void SettingsChanged() {
    liveSettings->reinitPending = true;
    PostMessageW(windowHandle, MSG_SETTINGS_CHANGED, 0, 0);
  }

  LRESULT SendItem(int id, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
    return SendDlgItemMessageW(windowHandle, id, message, wParam, lParam);
  }

  void FillList(int id, std::span<const wchar_t* const> items, int selected) const {
    for (const wchar_t* item : items) SendItem(id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    SendItem(id, CB_SETCURSEL, static_cast<WPARAM>(selected));
  }

 private:
  static constexpr const wchar_t* kViewModeNames[] = {L"Full", L"Disabled", L"Difference"};

  void InitSharedControls() {
    ShowResetIcons();
    for (const auto& box : kLayout.checkBoxes) {
      CheckDlgButton(windowHandle, box.id, IsTicked(box) ? BST_CHECKED : BST_UNCHECKED);
      ShowDependents(box, IsTicked(box));
    }
    for (const auto& list : kLayout.lists) FillList(list.id, list.items, ItemFor(list));
    for (const auto& bar : kLayout.trackbars)
      SendItem(bar.id, TBM_SETRANGE, TRUE, MAKELPARAM(bar.minimum, bar.maximum));
    for (const auto& bar : kLayout.trackbars)
      if (bar.tic) SendItem(bar.id, TBM_SETTIC, 0, *bar.tic);
    // Positions go unclamped: the trackbar shows an out-of-range value at its end.
    for (const auto& bar : kLayout.trackbars) SendItem(bar.id, TBM_SETPOS, TRUE, bar.field.Get(*liveSettings));
    FillList(kLayout.viewModeId, kViewModeNames, kViewFull);
    preview->AttachButton(GetDlgItem(windowHandle, IDC_PREVIEW));
    if (preview->IsShown() != 0) {
      EnableWindow(GetDlgItem(windowHandle, kLayout.viewModeId), TRUE);
      preview->Toggle(windowHandle);
    }
  }

  void ShowResetIcons() {
    if (kLayout.resetButtons.empty()) return;
    HMODULE module = nullptr;
    if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            reinterpret_cast<LPCWSTR>(&VDXVideoFilterDialog::StaticDlgProc), &module) ||
        !module)
      return;
    if (!resetIcon)
      resetIcon = static_cast<HICON>(
          LoadImageW(module, MAKEINTRESOURCEW(kLayout.resetIconId), IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR));
    for (const auto& button : kLayout.resetButtons)
      SendItem(button.id, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(resetIcon));
  }

  bool IsTicked(const CheckBoxBinding<Settings>& box) const {
    const bool zero = box.field.Get(*liveSettings) == 0;
    return box.ticked == TickedWhen::kZero ? zero : !zero;
  }

  int ItemFor(const ListBinding<Settings>& list) const {
    const int32_t value = list.field.Get(*liveSettings);
    for (std::size_t item = 0; item < list.values.size(); ++item)
      if (list.values[item] == value) return static_cast<int>(item);
    return list.unlistedItem;
  }

  INT_PTR OnCommand(int id, int code) {
    if (id == IDOK) return Close(1);
    if (id == IDCANCEL) return Close(0);
    if (id == IDC_PREVIEW) return TogglePreview();
    if (id == kLayout.viewModeId) return code == CBN_SELCHANGE ? ChangeViewMode() : FALSE;
    for (const auto& box : kLayout.checkBoxes)
      if (id == box.id) return ChangeCheckBox(box);
    for (const auto& list : kLayout.lists)
      if (id == list.id) return code == CBN_SELCHANGE ? ChangeList(list) : FALSE;
    for (const auto& button : kLayout.resetButtons)
      if (id == button.id) return Reset(button);
    return FALSE;
  }

  INT_PTR Close(int result) {
    if (preview->IsShown() != 0) preview->Close();
    liveSettings->viewMode = kViewFull;
    EndDialog(windowHandle, result);
    return result == 1 ? TRUE : FALSE;
  }

  INT_PTR TogglePreview() {
    preview->Toggle(windowHandle);
    EnableWindow(GetDlgItem(windowHandle, kLayout.viewModeId), preview->IsShown() != 0 ? TRUE : FALSE);
    return TRUE;
  }

  INT_PTR ChangeViewMode() {
    const LRESULT item = SendItem(kLayout.viewModeId, CB_GETCURSEL);
    liveSettings->viewMode = item == kViewDisabled || item == kViewDifference ? static_cast<int32_t>(item) : kViewFull;
    SettingsChanged();
    return FALSE;
  }

  INT_PTR ChangeCheckBox(const CheckBoxBinding<Settings>& box) {
    const bool ticked = IsDlgButtonChecked(windowHandle, box.id) == BST_CHECKED;
    box.field.Set(*liveSettings, ticked == (box.ticked == TickedWhen::kNonZero) ? 1 : 0);
    ShowDependents(box, ticked);
    SettingsChanged();
    return TRUE;
  }

  // A hidden control bound to a field is disabled too, so that the keyboard
  // cannot reach it; labels are only hidden.
  void ShowDependents(const CheckBoxBinding<Settings>& box, bool ticked) const {
    for (int id : box.hiddenWhileTicked) {
      HWND control = GetDlgItem(windowHandle, id);
      if (IsBound(id)) EnableWindow(control, ticked ? FALSE : TRUE);
      ShowWindow(control, ticked ? SW_HIDE : SW_SHOW);
    }
  }

  static constexpr bool IsBound(int id) {
    for (const auto& bar : kLayout.trackbars)
      if (bar.id == id) return true;
    for (const auto& box : kLayout.checkBoxes)
      if (box.id == id) return true;
    for (const auto& list : kLayout.lists)
      if (list.id == id) return true;
    return false;
  }

  INT_PTR ChangeList(const ListBinding<Settings>& list) {
    const LRESULT item = SendItem(list.id, CB_GETCURSEL);
    if (item >= 0 && item < static_cast<LRESULT>(list.values.size()))
      list.field.Set(*liveSettings, list.values[static_cast<std::size_t>(item)]);
    else if (list.noSelectionValue)
      list.field.Set(*liveSettings, *list.noSelectionValue);
    SettingsChanged();
    return FALSE;
  }

  // The thumb moves when the queue reaches it; a position set this way raises
  // no scroll notification, so the record is written here alone.
  INT_PTR Reset(const ResetBinding<Settings>& button) {
    const int32_t value = button.field.Get(Settings{});
    button.field.Set(*liveSettings, value);
    PostMessageW(GetDlgItem(windowHandle, button.trackbarId), TBM_SETPOS, TRUE, value);
    SettingsChanged();
    return TRUE;
  }

  // Every scroll code counts, so a drag applies each position it passes.
  INT_PTR OnScroll(HWND control) {
    for (const auto& bar : kLayout.trackbars) {
      if (!control || control != GetDlgItem(windowHandle, bar.id)) continue;
      bar.field.Set(*liveSettings, static_cast<int32_t>(SendMessageW(control, TBM_GETPOS, 0, 0)));
      SettingsChanged();
      return kLayout.scrollResult;
    }
    return FALSE;
  }
};

// A plug-in's dialog is this table, which its dialog code gives as
//   template <> inline constexpr DialogLayout<Record> kDialogLayout<Record> = {...};
// before it instantiates the module's configure dialog with
//   template intptr_t RunConfigDialog(Record&, HostPreview*, WindowHandle);
template <typename Settings>
inline constexpr DialogLayout<Settings> kDialogLayout{};

template <typename Settings>
intptr_t RunConfigDialog(Settings& live, HostPreview* preview, WindowHandle parent) {
  TarvuFilter_DialogBase<Settings, kDialogLayout<Settings>> dialog(live, preview);
  return dialog.RunModal(parent);
}

}  // namespace tarvu
