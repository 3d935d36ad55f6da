#include "dialog_driver.h"

#include <commctrl.h>

#include <cstring>
#include <cwchar>
#include <filesystem>
#include <fstream>

namespace testhost {
namespace {

constexpr UINT kSettleMessage = WM_APP + 1;
constexpr DWORD kOpenTimeoutMs = 10000;
constexpr DWORD kSettleTimeoutMs = 10000;
constexpr DWORD kPollMs = 5;

// The host process, not the module, registers the trackbar class.
void RegisterCommonControls() {
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
}

// A message-only window on the dialog's thread: a message posted to it is
// handled only after everything posted to the dialog before it.
LRESULT CALLBACK SettleWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != kSettleMessage) return DefWindowProcW(window, message, wParam, lParam);
  SetEvent(reinterpret_cast<HANDLE>(lParam));
  return 0;
}

HWND CreateSettleWindow() {
  static const wchar_t kClassName[] = L"TarvuDialogDriverSettle";
  static const ATOM registered = [] {
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = &SettleWindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kClassName;
    return RegisterClassW(&windowClass);
  }();
  if (!registered) return nullptr;
  return CreateWindowExW(0, kClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, GetModuleHandleW(nullptr), nullptr);
}

// A dialog is ready for the user once it is shown, after WM_INITDIALOG.
HWND FindShownDialog(DWORD threadId) {
  HWND found = nullptr;
  EnumThreadWindows(
      threadId,
      [](HWND window, LPARAM result) -> BOOL {
        wchar_t className[16] = {};
        GetClassNameW(window, className, 16);
        if (std::wcscmp(className, L"#32770") != 0 || !IsWindowVisible(window)) return TRUE;
        *reinterpret_cast<HWND*>(result) = window;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

struct UserThread {
  DWORD dialogThreadId;
  HWND settleWindow;
  HANDLE settledEvent;
  const std::function<void(DialogUser&)>* user;
  volatile LONG configureReturned = 0;
  bool opened = false;
};

DWORD WINAPI RunUser(void* parameter) {
  UserThread& run = *static_cast<UserThread*>(parameter);
  HWND dialog = nullptr;
  for (DWORD waited = 0; !dialog && waited < kOpenTimeoutMs; waited += kPollMs) {
    if (InterlockedCompareExchange(&run.configureReturned, 0, 0)) return 0;
    Sleep(kPollMs);
    dialog = FindShownDialog(run.dialogThreadId);
  }
  if (!dialog) return 0;
  run.opened = true;
  DialogUser user(dialog, run.settleWindow, run.settledEvent);
  try {
    (*run.user)(user);
  } catch (...) {
  }
  // EndDialog hides the window at once, so a shown one is still open.
  if (IsWindowVisible(dialog)) PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  return 0;
}

void PumpMessagesUntil(HANDLE done) {
  while (MsgWaitForMultipleObjects(1, &done, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0) {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }
}

// --- Template reading -------------------------------------------------------------

class TemplateReader {
 public:
  TemplateReader(const uint8_t* start, std::size_t size) : start_(start), at_(start), end_(start + size) {}

  bool ok() const { return ok_; }

  template <typename T>
  T Take() {
    T value{};
    if (!Has(sizeof(T))) return value;
    std::memcpy(&value, at_, sizeof(T));
    at_ += sizeof(T);
    return value;
  }

  std::wstring String() {
    std::wstring text;
    for (wchar_t letter = Take<wchar_t>(); ok_ && letter != 0; letter = Take<wchar_t>()) text.push_back(letter);
    return text;
  }

  // A name or, after 0xFFFF, an ordinal; 0x0000 alone means none.
  std::wstring NameOrOrdinal(bool predefinedClass) {
    const uint16_t first = Peek<uint16_t>();
    if (first == 0x0000) {
      Take<uint16_t>();
      return {};
    }
    if (first != 0xFFFF) return String();
    Take<uint16_t>();
    const uint16_t ordinal = Take<uint16_t>();
    if (predefinedClass) {
      static const wchar_t* const kPredefined[] = {L"BUTTON",  L"EDIT",      L"STATIC",
                                                   L"LISTBOX", L"SCROLLBAR", L"COMBOBOX"};
      if (ordinal >= 0x80 && ordinal <= 0x85) return kPredefined[ordinal - 0x80];
    }
    return L"#" + std::to_wstring(ordinal);
  }

  void SkipBytes(std::size_t count) {
    if (Has(count)) at_ += count;
  }

  void AlignToDword() {
    const std::size_t offset = static_cast<std::size_t>(at_ - start_);
    SkipBytes((4 - offset % 4) % 4);
  }

 private:
  bool Has(std::size_t count) {
    if (static_cast<std::size_t>(end_ - at_) < count) ok_ = false;
    return ok_;
  }

  template <typename T>
  T Peek() {
    const uint8_t* before = at_;
    const T value = Take<T>();
    at_ = before;
    return value;
  }

  const uint8_t* start_;
  const uint8_t* at_;
  const uint8_t* end_;
  bool ok_ = true;
};

DialogControl ReadControl(TemplateReader& reader) {
  DialogControl control;
  reader.AlignToDword();
  control.helpId = reader.Take<uint32_t>();
  control.exStyle = reader.Take<uint32_t>();
  control.style = reader.Take<uint32_t>();
  control.x = reader.Take<int16_t>();
  control.y = reader.Take<int16_t>();
  control.cx = reader.Take<int16_t>();
  control.cy = reader.Take<int16_t>();
  control.id = reader.Take<int32_t>();
  control.className = reader.NameOrOrdinal(true);
  control.text = reader.NameOrOrdinal(false);
  reader.SkipBytes(reader.Take<uint16_t>());
  return control;
}

std::optional<DialogTemplate> ParseDialogTemplateEx(const uint8_t* data, std::size_t size) {
  TemplateReader reader(data, size);
  DialogTemplate dialog;
  const uint16_t version = reader.Take<uint16_t>();
  const uint16_t signature = reader.Take<uint16_t>();
  if (version != 1 || signature != 0xFFFF) return std::nullopt;
  dialog.helpId = reader.Take<uint32_t>();
  dialog.exStyle = reader.Take<uint32_t>();
  dialog.style = reader.Take<uint32_t>();
  const uint16_t controlCount = reader.Take<uint16_t>();
  dialog.x = reader.Take<int16_t>();
  dialog.y = reader.Take<int16_t>();
  dialog.cx = reader.Take<int16_t>();
  dialog.cy = reader.Take<int16_t>();
  dialog.menu = reader.NameOrOrdinal(false);
  dialog.windowClass = reader.NameOrOrdinal(false);
  dialog.caption = reader.String();
  if (dialog.style & DS_SETFONT) {
    dialog.pointSize = reader.Take<uint16_t>();
    dialog.weight = reader.Take<uint16_t>();
    dialog.italic = reader.Take<uint8_t>() != 0;
    dialog.charset = reader.Take<uint8_t>();
    dialog.fontName = reader.String();
  }
  for (uint16_t i = 0; i < controlCount && reader.ok(); ++i) dialog.controls.push_back(ReadControl(reader));
  if (!reader.ok()) return std::nullopt;
  return dialog;
}

// --- Screenshots ------------------------------------------------------------------

bool WriteBitmapFile(const std::wstring& path, int width, int height, const void* bits, std::size_t bitsSize) {
  BITMAPINFOHEADER info = {};
  info.biSize = sizeof info;
  info.biWidth = width;
  info.biHeight = height;  // bottom-up, as the DIB holds it
  info.biPlanes = 1;
  info.biBitCount = 24;
  info.biCompression = BI_RGB;
  info.biSizeImage = static_cast<DWORD>(bitsSize);
  BITMAPFILEHEADER file = {};
  file.bfType = 0x4D42;  // "BM"
  file.bfOffBits = sizeof file + sizeof info;
  file.bfSize = static_cast<DWORD>(file.bfOffBits + bitsSize);
  std::ofstream out(std::filesystem::path(path), std::ios::binary);
  out.write(reinterpret_cast<const char*>(&file), sizeof file);
  out.write(reinterpret_cast<const char*>(&info), sizeof info);
  out.write(static_cast<const char*>(bits), static_cast<std::streamsize>(bitsSize));
  return static_cast<bool>(out);
}

}  // namespace

// --- DialogUser --------------------------------------------------------------------

void DialogUser::Click(int id) {
  SendMessageW(Item(id), BM_CLICK, 0, 0);
  Settle();
}

void DialogUser::Command(int id, int code) {
  SendMessageW(dialog_, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(Item(id)));
  Settle();
}

void DialogUser::Select(int comboId, int item) {
  SendItem(comboId, CB_SETCURSEL, static_cast<WPARAM>(item));
  Command(comboId, CBN_SELCHANGE);
}

void DialogUser::Drag(int trackbarId, std::initializer_list<int> positions) {
  HWND trackbar = Item(trackbarId);
  for (int position : positions) {
    SendMessageW(trackbar, TBM_SETPOS, TRUE, position);
    Scroll(trackbar, TB_THUMBTRACK, position);
  }
  Scroll(trackbar, TB_ENDTRACK, 0);
  Settle();
}

void DialogUser::Scroll(HWND control, int code, int position) {
  SendMessageW(dialog_, WM_HSCROLL, MAKEWPARAM(code, static_cast<WORD>(position)), reinterpret_cast<LPARAM>(control));
}

void DialogUser::Settle() {
  PostMessageW(settleWindow_, kSettleMessage, 0, reinterpret_cast<LPARAM>(settledEvent_));
  WaitForSingleObject(settledEvent_, kSettleTimeoutMs);
}

bool DialogUser::IsChecked(int id) const { return IsDlgButtonChecked(dialog_, id) == BST_CHECKED; }
bool DialogUser::IsEnabled(int id) const { return IsWindowEnabled(Item(id)) != FALSE; }
int DialogUser::Selection(int comboId) const { return static_cast<int>(SendItem(comboId, CB_GETCURSEL)); }
int DialogUser::Position(int trackbarId) const { return static_cast<int>(SendItem(trackbarId, TBM_GETPOS)); }
int DialogUser::RangeMin(int trackbarId) const { return static_cast<int>(SendItem(trackbarId, TBM_GETRANGEMIN)); }
int DialogUser::RangeMax(int trackbarId) const { return static_cast<int>(SendItem(trackbarId, TBM_GETRANGEMAX)); }

std::vector<std::wstring> DialogUser::Items(int comboId) const {
  std::vector<std::wstring> items;
  const LRESULT count = SendItem(comboId, CB_GETCOUNT);
  for (LRESULT i = 0; i < count; ++i) {
    std::wstring text(static_cast<std::size_t>(SendItem(comboId, CB_GETLBTEXTLEN, i)), L'\0');
    SendItem(comboId, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text.data()));
    items.push_back(text);
  }
  return items;
}

bool DialogUser::SaveScreenshot(const std::wstring& path) const {
  RedrawWindow(dialog_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN);
  RECT frame;
  if (!GetWindowRect(dialog_, &frame)) return false;
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  if (width <= 0 || height <= 0) return false;

  HDC windowDc = GetWindowDC(dialog_);
  HDC memoryDc = CreateCompatibleDC(windowDc);
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP dib = CreateDIBSection(windowDc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  bool saved = false;
  if (dib) {
    HGDIOBJ previous = SelectObject(memoryDc, dib);
    if (BitBlt(memoryDc, 0, 0, width, height, windowDc, 0, 0, SRCCOPY)) {
      GdiFlush();
      const std::size_t stride = (static_cast<std::size_t>(width) * 3 + 3) & ~std::size_t{3};
      saved = WriteBitmapFile(path, width, height, bits, stride * static_cast<std::size_t>(height));
    }
    SelectObject(memoryDc, previous);
    DeleteObject(dib);
  }
  DeleteDC(memoryDc);
  ReleaseDC(dialog_, windowDc);
  return saved;
}

// --- Running and reading dialogs ------------------------------------------------------

DialogRun RunDialog(Instance& instance, const std::function<void(DialogUser&)>& user, WindowHandle parent) {
  RegisterCommonControls();
  HANDLE settled = CreateEventW(nullptr, FALSE, FALSE, nullptr);
  HWND settleWindow = CreateSettleWindow();
  UserThread run{GetCurrentThreadId(), settleWindow, settled, &user};
  HANDLE thread = CreateThread(nullptr, 0, &RunUser, &run, 0, nullptr);

  DialogRun result;
  result.result = instance.Configure(parent);
  InterlockedExchange(&run.configureReturned, 1);
  // The user's last actions may still wait for the settle window here.
  if (thread) {
    PumpMessagesUntil(thread);
    CloseHandle(thread);
  }
  DestroyWindow(settleWindow);
  CloseHandle(settled);
  result.opened = run.opened;
  return result;
}

std::optional<DialogTemplate> ReadDialogTemplate(HMODULE module, int resourceId) {
  HRSRC resource =
      FindResourceExW(module, RT_DIALOG, MAKEINTRESOURCEW(resourceId), MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_UK));
  if (!resource) return std::nullopt;
  HGLOBAL loaded = LoadResource(module, resource);
  const void* data = loaded ? LockResource(loaded) : nullptr;
  if (!data) return std::nullopt;
  return ParseDialogTemplateEx(static_cast<const uint8_t*>(data), SizeofResource(module, resource));
}

}  // namespace testhost
