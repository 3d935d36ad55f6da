// What every configuration dialog's tests share: a module's filter over a
// small picture, the dialog run through the host's configure callback and
// driven as a user would, and the suite every dialog passes, instantiated per
// plug-in from its DialogCase.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "testhost/dialog_driver.h"
#include "testhost/module_loader.h"

namespace testhost {

constexpr int kOk = 1, kCancel = 2, kPreview = 1001;
constexpr int kHostOk = 0, kHostCancel = 1;

inline std::string Narrow(const std::wstring& text) { return std::filesystem::path(text).string(); }

inline Module& Loaded(const std::wstring& name) {
  static std::map<std::wstring, std::unique_ptr<Module>> modules;
  std::unique_ptr<Module>& module = modules[name];
  if (!module) {
    module = std::make_unique<Module>(StageModule(name));
    if (module->Init() != 0) throw std::runtime_error("module entry failed");
  }
  return *module;
}

// An instance of a module's filter over a blocky 4:2:0 picture.
struct Filter {
  explicit Filter(const std::wstring& module, std::vector<int32_t> script = {})
      : source(48, 32, 15), destination(48, 32, 15), instance(Loaded(module).Definition(), source, destination) {
    source.FillBlocks(7);
    if (instance.Init() != 0) throw std::runtime_error("init failed");
    if (!script.empty()) instance.Script(script, static_cast<int32_t>(script.size()));
  }
  ~Filter() {
    if (started) instance.End();
  }
  void Start() {
    lag = std::max(instance.GetParams() >> 16, 0);
    instance.Start();
    started = true;
  }
  // The frame as the host shows it: a lagging filter gets its lag first.
  std::vector<uint8_t> Render() {
    for (int32_t call = 0; call <= lag; ++call) instance.Run();
    return destination.RawBytes();
  }

  Picture source, destination;
  Instance instance;
  bool started = false;
  int32_t lag = 0;
};

// What a fresh instance with these settings renders from the same picture.
inline std::vector<uint8_t> FreshRender(const std::wstring& module, std::vector<int32_t> script) {
  Filter fresh(module, std::move(script));
  fresh.Start();
  return fresh.Render();
}

inline DialogRun Configure(Filter& filter, const std::function<void(DialogUser&)>& user) {
  return RunDialog(filter.instance, user);
}

// One user step, the script line it leaves and the redraws it asks for.
struct Step {
  std::function<void(DialogUser&)> act;
  std::string line;
  int redraws;
};

void RunSteps(Filter& filter, const std::vector<Step>& steps, int closeWith);

// --- The dialog template ---------------------------------------------------------------

inline DialogControl Control(int32_t id, const wchar_t* className, const wchar_t* text, std::array<int, 4> rect,
                             uint32_t style, uint32_t exStyle = 0) {
  return {id, className, text, rect[0], rect[1], rect[2], rect[3], style | WS_CHILD | WS_VISIBLE, exStyle, 0};
}

constexpr uint32_t kLabel = SS_LEFT | WS_GROUP;
constexpr uint32_t kRightLabel = SS_RIGHT | WS_GROUP;
constexpr uint32_t kTicked = TBS_AUTOTICKS | TBS_BOTH | TBS_NOTICKS | WS_TABSTOP;
constexpr uint32_t kPlain = TBS_BOTH | TBS_NOTICKS | WS_TABSTOP;
constexpr uint32_t kDropDown = CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP;
inline const wchar_t* const kTrackbar = L"msctls_trackbar32";

// OK and Preview at the top right, Cancel at the bottom right.
std::vector<DialogControl> CommonButtons(int x, int cancelY);

// --- The suite every dialog passes ------------------------------------------------------

struct DialogCase {
  std::wstring module;
  int templateId;
  int viewModeId;
  bool viewListEnabledInTemplate;
  std::array<int, 2> size;  // the template's width and height
  std::vector<DialogControl> controls;
  std::vector<int32_t> oldSettings, newSettings;
  std::string oldLine, newLine;
  // Moves one control from the old settings to the new ones.
  std::function<void(DialogUser&)> change;
  std::wstring caption = L"Dialog";
};

inline std::ostream& operator<<(std::ostream& out, const DialogCase& c) { return out << Narrow(c.module); }
inline std::string DialogCaseName(const ::testing::TestParamInfo<DialogCase>& info) {
  return Narrow(info.param.module);
}

class SharedDialog : public ::testing::TestWithParam<DialogCase> {};

}  // namespace testhost
