// The dialog base of every configuration dialog, and the behaviour they all
// share: the Preview button and the view list, OK and Cancel, and trackbars
// and check boxes bound to settings fields, each change applied at once.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <cstdint>
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
  int32_t Settings::*field;
  int16_t minimum;
  int16_t maximum;
};

enum class TickedWhen { kNonZero, kZero };

template <typename Settings>
struct CheckBoxBinding {
  int id;
  int32_t Settings::*field;
  TickedWhen ticked;  // kZero: the box names the field's opposite
};

template <typename Settings>
struct DialogLayout {
  int resourceId;
  int viewModeId;
  bool redrawReappliesOptions;  // MSG_SETTINGS_CHANGED sets reinitPending again
  std::span<const TrackbarBinding<Settings>> trackbars;
  std::span<const CheckBoxBinding<Settings>> checkBoxes;
};

// A dialog on the live settings record, described by `kLayout`. A plug-in
// whose dialog has other controls overrides HandleMessage, handles them and
// passes everything else to HandleSharedMessage.
template <typename Settings, const DialogLayout<Settings>& kLayout>
class TarvuFilter_DialogBase : public VDXVideoFilterDialog {
 public:
  TarvuFilter_DialogBase(Settings& live, HostPreview* hostPreview) : liveSettings(&live), preview(hostPreview) {}

  intptr_t RunModal(WindowHandle parent) { return RunModalDialog(*this, kLayout.resourceId, parent); }

  Settings* liveSettings;
  HostPreview* preview;

 protected:
  ~TarvuFilter_DialogBase() = default;

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
    for (const auto& box : kLayout.checkBoxes)
      CheckDlgButton(windowHandle, box.id, IsTicked(box) ? BST_CHECKED : BST_UNCHECKED);
    FillList(kLayout.viewModeId, kViewModeNames, kViewFull);
    for (const auto& bar : kLayout.trackbars)
      SendItem(bar.id, TBM_SETRANGE, TRUE, MAKELPARAM(bar.minimum, bar.maximum));
    // Positions go unclamped: the trackbar shows an out-of-range value at its end.
    for (const auto& bar : kLayout.trackbars) SendItem(bar.id, TBM_SETPOS, TRUE, liveSettings->*bar.field);
    preview->AttachButton(GetDlgItem(windowHandle, IDC_PREVIEW));
    if (preview->IsShown() != 0) {
      EnableWindow(GetDlgItem(windowHandle, kLayout.viewModeId), TRUE);
      preview->Toggle(windowHandle);
    }
  }

  bool IsTicked(const CheckBoxBinding<Settings>& box) const {
    const bool zero = liveSettings->*box.field == 0;
    return box.ticked == TickedWhen::kZero ? zero : !zero;
  }

  INT_PTR OnCommand(int id, int code) {
    if (id == IDOK) return Close(1);
    if (id == IDCANCEL) return Close(0);
    if (id == IDC_PREVIEW) return TogglePreview();
    if (id == kLayout.viewModeId) return code == CBN_SELCHANGE ? ChangeViewMode() : FALSE;
    for (const auto& box : kLayout.checkBoxes)
      if (id == box.id) return ChangeCheckBox(box);
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
    liveSettings->*box.field = ticked == (box.ticked == TickedWhen::kNonZero) ? 1 : 0;
    SettingsChanged();
    return TRUE;
  }

  // Every scroll code counts, so a drag applies each position it passes.
  INT_PTR OnScroll(HWND control) {
    for (const auto& bar : kLayout.trackbars) {
      if (!control || control != GetDlgItem(windowHandle, bar.id)) continue;
      liveSettings->*bar.field = static_cast<int32_t>(SendMessageW(control, TBM_GETPOS, 0, 0));
      SettingsChanged();
      return TRUE;
    }
    return FALSE;
  }
};

}  // namespace tarvu
