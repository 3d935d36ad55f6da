// Drives a module's modal configuration dialog as a user would: the dialog
// runs through the instance's configure callback on the calling thread while
// a second thread finds its window and sends it what clicks, list choices
// and trackbar drags send. Also reads dialog templates back from a module.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include "test_host.h"

namespace testhost {

// The user's side of an open dialog. Every action waits until the dialog has
// handled what it posted to itself meanwhile (the settings-changed messages).
class DialogUser {
 public:
  DialogUser(HWND dialog, HWND settleWindow, HANDLE settledEvent)
      : dialog_(dialog), settleWindow_(settleWindow), settledEvent_(settledEvent) {}

  HWND Window() const { return dialog_; }
  HWND Item(int id) const { return GetDlgItem(dialog_, id); }

  void Click(int id);                  // a mouse click on a button or check box
  void Command(int id, int code);      // the WM_COMMAND the control would send
  void Select(int comboId, int item);  // picks an item of a drop-down list
  // Drags a trackbar's thumb across `positions`, then lets it go.
  void Drag(int trackbarId, std::initializer_list<int> positions);
  // A WM_HSCROLL as `control` would send it.
  void Scroll(HWND control, int code, int position);
  void Settle();

  bool IsChecked(int id) const;
  bool IsEnabled(int id) const;
  int Selection(int comboId) const;
  std::vector<std::wstring> Items(int comboId) const;
  int Position(int trackbarId) const;
  int RangeMin(int trackbarId) const;
  int RangeMax(int trackbarId) const;

  // The dialog window as it is on screen, written as a 24-bit .bmp.
  bool SaveScreenshot(const std::wstring& path) const;

 private:
  LRESULT SendItem(int id, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
    return SendDlgItemMessageW(dialog_, id, message, wParam, lParam);
  }

  HWND dialog_;
  HWND settleWindow_;
  HANDLE settledEvent_;
};

struct DialogRun {
  bool opened = false;  // the dialog window appeared and `user` ran
  int result = -1;      // what the configure callback returned to the host
};

// Runs instance.Configure(parent) here while `user` acts on the dialog from
// another thread. A dialog that `user` leaves open is cancelled.
DialogRun RunDialog(Instance& instance, const std::function<void(DialogUser&)>& user, WindowHandle parent = nullptr);

struct DialogControl {
  int32_t id = 0;
  std::wstring className;  // predefined classes by name: "BUTTON", "STATIC", ...
  std::wstring text;
  int x = 0, y = 0, cx = 0, cy = 0;
  uint32_t style = 0;
  uint32_t exStyle = 0;
  uint32_t helpId = 0;
};

struct DialogTemplate {
  std::wstring caption;
  std::wstring menu;         // empty when none; "#n" for an ordinal
  std::wstring windowClass;  // empty for the standard dialog class
  std::wstring fontName;
  int pointSize = 0;
  int weight = 0;
  bool italic = false;
  int charset = 0;
  uint32_t style = 0;
  uint32_t exStyle = 0;
  uint32_t helpId = 0;
  int x = 0, y = 0, cx = 0, cy = 0;
  std::vector<DialogControl> controls;
};

// The extended dialog template `resourceId` in English (United Kingdom), or
// nothing when the module has none or it is not an extended template.
std::optional<DialogTemplate> ReadDialogTemplate(HMODULE module, int resourceId);

}  // namespace testhost
