#include "dialog_base.h"

#include "module.h"

namespace tarvu {

INT_PTR CALLBACK VDXVideoFilterDialog::StaticDlgProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  VDXVideoFilterDialog* dialog = nullptr;
  if (message == WM_INITDIALOG) {
    dialog = reinterpret_cast<VDXVideoFilterDialog*>(lParam);
    SetWindowLongPtrA(window, DWLP_USER, lParam);
    if (dialog) dialog->windowHandle = window;
  } else {
    dialog = reinterpret_cast<VDXVideoFilterDialog*>(GetWindowLongPtrA(window, DWLP_USER));
  }
  // Messages before WM_INITDIALOG get the dialog manager's own handling.
  return dialog ? dialog->HandleMessage(message, wParam, lParam) : FALSE;
}

intptr_t RunModalDialog(VDXVideoFilterDialog& dialog, int resourceId, WindowHandle parent) {
  return DialogBoxParamW(static_cast<HINSTANCE>(ModuleInstanceHandle()), MAKEINTRESOURCEW(resourceId),
                         static_cast<HWND>(parent), &VDXVideoFilterDialog::StaticDlgProc,
                         reinterpret_cast<LPARAM>(&dialog));
}

}  // namespace tarvu
