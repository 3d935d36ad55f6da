// The deblock and unsharp configuration dialogs, run through the host's
// configure callback from their real templates and driven as a user would.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <array>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <set>

#include <fmt/format.h>

#include "testhost/dialog_driver.h"
#include "testhost/module_loader.h"

namespace testhost {
namespace {

constexpr int kOk = 1, kCancel = 2, kPreview = 1001, kViewMode = 1012;
constexpr int kHostOk = 0, kHostCancel = 1;

// Deblock controls.
constexpr int kStrong = 1002, kLumaOnly = 1003, kBlockSize = 1007;
constexpr int kAlpha = 1008, kGamma = 1009, kBeta = 1010, kDelta = 1011;
// Unsharp controls.
constexpr int kLumaX = 1008, kLumaStrength = 1009, kLumaY = 1010, kChromaX = 1011, kChromaY = 1013,
              kChromaStrength = 1014;

std::string Narrow(const std::wstring& text) { return std::filesystem::path(text).string(); }

Module& Loaded(const std::wstring& name) {
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
    instance.GetParams();
    instance.Start();
    started = true;
  }
  std::vector<uint8_t> Render() {
    instance.Run();
    return destination.RawBytes();
  }

  Picture source, destination;
  Instance instance;
  bool started = false;
};

// What a fresh instance with these settings renders from the same picture.
std::vector<uint8_t> FreshRender(const std::wstring& module, std::vector<int32_t> script) {
  Filter fresh(module, std::move(script));
  fresh.Start();
  return fresh.Render();
}

DialogRun Configure(Filter& filter, const std::function<void(DialogUser&)>& user) {
  return RunDialog(filter.instance, user);
}

// --- Deblock ---------------------------------------------------------------------------

const std::wstring kDeblock = L"TarvuDeblock";

TEST(DeblockDialog, OpensOnTheRecordWithoutChangingIt) {
  // Values only a script can set: no such block size, alpha beyond its range.
  Filter filter(kDeblock, {2, 64, 150, 20, 30, 40, 7});
  struct Seen {
    bool strong, lumaOnly, viewModeEnabled;
    std::vector<std::wstring> blockSizes, viewModes;
    int blockSize, viewMode, alpha, beta, gamma, delta, alphaMin, alphaMax;
  } seen{};
  const DialogRun run = Configure(filter, [&](DialogUser& user) {
    seen = {user.IsChecked(kStrong), user.IsChecked(kLumaOnly),  user.IsEnabled(kViewMode), user.Items(kBlockSize),
            user.Items(kViewMode),   user.Selection(kBlockSize), user.Selection(kViewMode), user.Position(kAlpha),
            user.Position(kBeta),    user.Position(kGamma),      user.Position(kDelta),     user.RangeMin(kAlpha),
            user.RangeMax(kAlpha)};
    user.Click(kOk);
  });
  ASSERT_TRUE(run.opened);
  EXPECT_EQ(run.result, kHostOk);
  EXPECT_FALSE(seen.strong);
  EXPECT_TRUE(seen.lumaOnly);
  EXPECT_EQ(seen.blockSizes, (std::vector<std::wstring>{L"4", L"8", L"16", L"32"}));
  EXPECT_EQ(seen.blockSize, 1) << "a size the list lacks shows as 8";
  EXPECT_EQ(seen.viewModes, (std::vector<std::wstring>{L"Full", L"Disabled", L"Difference"}));
  EXPECT_EQ(seen.viewMode, 0);
  EXPECT_FALSE(seen.viewModeEnabled);
  EXPECT_EQ(seen.alpha, 100) << "150 shows at the trackbar's end";
  EXPECT_EQ(seen.beta, 20);
  EXPECT_EQ(seen.gamma, 30);
  EXPECT_EQ(seen.delta, 40);
  EXPECT_EQ(seen.alphaMin, 0);
  EXPECT_EQ(seen.alphaMax, 100);
  EXPECT_EQ(filter.instance.ScriptLine(), "Config(2,64,150,20,30,40,7)");
  EXPECT_EQ(filter.instance.preview.Count("RedoFrame"), 0);
}

TEST(DeblockDialog, BlockListOpensOnTheStoredSize) {
  for (const auto& [block, item] : std::vector<std::pair<int, int>>{{4, 0}, {8, 1}, {16, 2}, {32, 3}, {3, 1}}) {
    Filter filter(kDeblock, {0, block, 10, 5, 5, 5, 0});
    int selected = -2;
    Configure(filter, [&](DialogUser& user) { selected = user.Selection(kBlockSize); });
    EXPECT_EQ(selected, item) << "block " << block;
  }
}

// One user step, the script line it leaves and the redraws it asks for.
struct Step {
  std::function<void(DialogUser&)> act;
  std::string line;
  int redraws;
};

void RunSteps(Filter& filter, const std::vector<Step>& steps, int closeWith) {
  std::vector<std::string> lines;
  std::vector<int> redraws;
  const DialogRun run = Configure(filter, [&](DialogUser& user) {
    for (const Step& step : steps) {
      const int before = filter.instance.preview.Count("RedoFrame");
      step.act(user);
      lines.push_back(filter.instance.ScriptLine());
      redraws.push_back(filter.instance.preview.Count("RedoFrame") - before);
    }
    user.Click(closeWith);
  });
  ASSERT_TRUE(run.opened);
  ASSERT_EQ(lines.size(), steps.size());
  for (std::size_t i = 0; i < steps.size(); ++i) {
    EXPECT_EQ(lines[i], steps[i].line) << "step " << i;
    EXPECT_EQ(redraws[i], steps[i].redraws) << "step " << i;
  }
  EXPECT_EQ(run.result, closeWith == kOk ? kHostOk : kHostCancel);
}

TEST(DeblockDialog, EachControlWritesItsField) {
  Filter filter(kDeblock);
  RunSteps(filter,
           {
               {[](DialogUser& u) { u.Click(kStrong); }, "Config(1,8,10,5,5,5,0)", 1},
               {[](DialogUser& u) { u.Click(kStrong); }, "Config(0,8,10,5,5,5,0)", 1},
               {[](DialogUser& u) { u.Click(kLumaOnly); }, "Config(0,8,10,5,5,5,1)", 1},
               {[](DialogUser& u) { u.Select(kBlockSize, 3); }, "Config(0,32,10,5,5,5,1)", 1},
               {[](DialogUser& u) { u.Select(kBlockSize, 0); }, "Config(0,4,10,5,5,5,1)", 1},
               // A drag applies every position it passes, and the release once more.
               {[](DialogUser& u) {
                  u.Drag(kAlpha, {30, 40});
                },
                "Config(0,4,40,5,5,5,1)", 3},
               {[](DialogUser& u) { u.Drag(kBeta, {50}); }, "Config(0,4,40,50,5,5,1)", 2},
               {[](DialogUser& u) { u.Drag(kGamma, {60}); }, "Config(0,4,40,50,60,5,1)", 2},
               {[](DialogUser& u) { u.Drag(kDelta, {70}); }, "Config(0,4,40,50,60,70,1)", 2},
               {[](DialogUser& u) { u.Click(kLumaOnly); }, "Config(0,4,40,50,60,70,0)", 1},
           },
           kOk);
  EXPECT_EQ(filter.instance.ScriptLine(), "Config(0,4,40,50,60,70,0)");
}

TEST(DeblockDialog, SwitchesSetByScriptStoreOneOrZero) {
  Filter filter(kDeblock, {2, 8, 10, 5, 5, 5, 7});
  bool strongTicked = true, lumaOnlyTicked = false;
  RunSteps(filter,
           {
               {[&](DialogUser& u) {
                  strongTicked = u.IsChecked(kStrong);
                  lumaOnlyTicked = u.IsChecked(kLumaOnly);
                  u.Click(kStrong);
                },
                "Config(0,8,10,5,5,5,7)", 1},
               {[](DialogUser& u) { u.Click(kStrong); }, "Config(1,8,10,5,5,5,7)", 1},
               {[](DialogUser& u) { u.Click(kLumaOnly); }, "Config(1,8,10,5,5,5,0)", 1},
               {[](DialogUser& u) { u.Click(kLumaOnly); }, "Config(1,8,10,5,5,5,1)", 1},
           },
           kCancel);
  EXPECT_FALSE(strongTicked);
  EXPECT_TRUE(lumaOnlyTicked);
  EXPECT_EQ(filter.instance.ScriptLine(), "Config(2,8,10,5,5,5,7)");
}

// --- Unsharp ---------------------------------------------------------------------------

const std::wstring kUnsharp = L"TarvuUnSharp";

TEST(UnsharpDialog, TrackbarsShowRangesAndStoredValues) {
  Filter filter(kUnsharp, {20, 2, -15, 3, 4, 15});
  std::map<int, std::array<int, 3>> seen;  // id -> min, max, position
  bool viewModeEnabled = true;
  Configure(filter, [&](DialogUser& user) {
    for (int id : {kLumaX, kLumaY, kLumaStrength, kChromaX, kChromaY, kChromaStrength})
      seen[id] = {user.RangeMin(id), user.RangeMax(id), user.Position(id)};
    viewModeEnabled = user.IsEnabled(kViewMode);
    user.Click(kCancel);
  });
  const std::map<int, std::array<int, 3>> expected = {
      {kLumaX, {0, 10, 10}},  {kLumaY, {0, 10, 2}},   {kLumaStrength, {-15, 15, -15}},
      {kChromaX, {0, 10, 3}}, {kChromaY, {0, 10, 4}}, {kChromaStrength, {-15, 15, 15}},
  };
  EXPECT_EQ(seen, expected);
  EXPECT_FALSE(viewModeEnabled);
  EXPECT_EQ(filter.instance.ScriptLine(), "Config(20,2,-15,3,4,15)") << "lumaX keeps 20 until moved";
}

TEST(UnsharpDialog, EachTrackbarWritesItsField) {
  Filter filter(kUnsharp);
  RunSteps(filter,
           {
               {[](DialogUser& u) {
                  u.Drag(kLumaX, {9, 10});
                },
                "Config(10,1,10,1,1,0)", 3},
               {[](DialogUser& u) { u.Drag(kLumaY, {4}); }, "Config(10,4,10,1,1,0)", 2},
               {[](DialogUser& u) { u.Drag(kLumaStrength, {-5}); }, "Config(10,4,-5,1,1,0)", 2},
               {[](DialogUser& u) { u.Drag(kChromaX, {6}); }, "Config(10,4,-5,6,1,0)", 2},
               {[](DialogUser& u) { u.Drag(kChromaY, {7}); }, "Config(10,4,-5,6,7,0)", 2},
               {[](DialogUser& u) {
                  u.Drag(kChromaStrength, {-15, 15});
                },
                "Config(10,4,-5,6,7,15)", 3},
           },
           kOk);
  EXPECT_EQ(filter.instance.ScriptLine(), "Config(10,4,-5,6,7,15)");
}

// --- What both dialogs share -------------------------------------------------------------

struct Plugin {
  std::wstring module;
  std::vector<int32_t> oldSettings, newSettings;
  std::string oldLine, newLine;
  // Moves one control from the old settings to the new ones.
  std::function<void(DialogUser&)> change;
};

std::ostream& operator<<(std::ostream& out, const Plugin& plugin) { return out << Narrow(plugin.module); }

const Plugin kPlugins[] = {
    {kDeblock,
     {0, 8, 10, 5, 5, 5, 0},
     {0, 8, 100, 5, 5, 5, 0},
     "Config(0,8,10,5,5,5,0)",
     "Config(0,8,100,5,5,5,0)",
     [](DialogUser& u) { u.Drag(kAlpha, {100}); }},
    {kUnsharp,
     {1, 1, 10, 1, 1, 0},
     {1, 1, -15, 1, 1, 0},
     "Config(1,1,10,1,1,0)",
     "Config(1,1,-15,1,1,0)",
     [](DialogUser& u) { u.Drag(kLumaStrength, {-15}); }},
};

class SharedDialog : public ::testing::TestWithParam<Plugin> {};

TEST_P(SharedDialog, OkKeepsTheEditsAndCancelRestoresThem) {
  const Plugin& plugin = GetParam();
  Filter filter(plugin.module, plugin.oldSettings);
  DialogRun run = Configure(filter, [&](DialogUser& user) {
    plugin.change(user);
    user.Click(kOk);
  });
  EXPECT_EQ(run.result, kHostOk);
  EXPECT_EQ(filter.instance.ScriptLine(), plugin.newLine);

  filter.instance.Script(plugin.oldSettings, static_cast<int32_t>(plugin.oldSettings.size()));
  run = Configure(filter, [&](DialogUser& user) {
    plugin.change(user);
    user.Select(kViewMode, 2);
    user.Click(kCancel);
  });
  EXPECT_EQ(run.result, kHostCancel);
  EXPECT_EQ(filter.instance.ScriptLine(), plugin.oldLine);
}

TEST_P(SharedDialog, PreviewButtonTogglesAndTheViewListFollows) {
  Filter filter(GetParam().module);
  RecordingPreview& preview = filter.instance.preview;
  HWND previewButton = nullptr, dialog = nullptr;
  std::vector<bool> viewListEnabled;
  int togglesAtOpen = -1;
  const DialogRun run = Configure(filter, [&](DialogUser& user) {
    dialog = user.Window();
    previewButton = user.Item(kPreview);
    togglesAtOpen = preview.Count("Toggle");
    viewListEnabled.push_back(user.IsEnabled(kViewMode));
    for (int press = 0; press < 3; ++press) {
      user.Command(kPreview, BN_CLICKED);
      viewListEnabled.push_back(user.IsEnabled(kViewMode));
    }
    user.Click(kOk);
  });
  ASSERT_TRUE(run.opened);
  EXPECT_EQ(preview.Count("AttachButton"), 1);
  EXPECT_EQ(preview.attachedButton, previewButton);
  EXPECT_EQ(togglesAtOpen, 0);
  EXPECT_EQ(preview.Count("Toggle"), 3);
  EXPECT_EQ(preview.toggledWith, dialog);
  EXPECT_EQ(viewListEnabled, (std::vector<bool>{false, true, false, true}));
  EXPECT_EQ(preview.Count("Close"), 1) << "OK closes the preview it left shown";
  EXPECT_EQ(preview.calls.back(), "Close");
}

TEST_P(SharedDialog, ClosingWhileHiddenLeavesThePreviewAlone) {
  for (int closeWith : {kOk, kCancel}) {
    Filter filter(GetParam().module);
    Configure(filter, [&](DialogUser& user) { user.Click(closeWith); });
    EXPECT_EQ(filter.instance.preview.Count("Close"), 0);
  }
}

TEST_P(SharedDialog, OpenedWhileThePreviewIsShownTakesItOver) {
  Filter filter(GetParam().module);
  RecordingPreview& preview = filter.instance.preview;
  preview.shown = true;
  preview.shownByte = 2;  // any non-zero byte means shown
  HWND dialog = nullptr;
  int toggles = -1;
  bool viewListEnabled = false;
  Configure(filter, [&](DialogUser& user) {
    dialog = user.Window();
    toggles = preview.Count("Toggle");
    viewListEnabled = user.IsEnabled(kViewMode);
    user.Click(kCancel);
  });
  EXPECT_EQ(toggles, 1);
  EXPECT_EQ(preview.toggledWith, dialog);
  EXPECT_TRUE(viewListEnabled);
  const std::vector<std::string> opening(preview.calls.begin(), preview.calls.begin() + 3);
  EXPECT_EQ(opening, (std::vector<std::string>{"AttachButton", "IsShown", "Toggle"}));
}

TEST_P(SharedDialog, IgnoresOtherNotificationsAndForeignScrolls) {
  const Plugin& plugin = GetParam();
  Filter filter(plugin.module, plugin.oldSettings);
  std::string line;
  Configure(filter, [&](DialogUser& user) {
    user.Command(kViewMode, CBN_DROPDOWN);
    user.Command(kViewMode, CBN_CLOSEUP);
    user.Command(4242, BN_CLICKED);
    user.Scroll(user.Item(kOk), TB_THUMBTRACK, 3);
    user.Scroll(nullptr, TB_ENDTRACK, 0);
    user.Settle();
    line = filter.instance.ScriptLine();
    user.Click(kOk);
  });
  EXPECT_EQ(line, plugin.oldLine);
  EXPECT_EQ(filter.instance.preview.Count("RedoFrame"), 0);
}

// The preview draws the next frame through the instance, as the host does.
TEST_P(SharedDialog, PreviewShowsEachChangeAndCancelBringsBackTheOldFrame) {
  const Plugin& plugin = GetParam();
  const std::vector<uint8_t> oldFrame = FreshRender(plugin.module, plugin.oldSettings);
  const std::vector<uint8_t> newFrame = FreshRender(plugin.module, plugin.newSettings);
  ASSERT_NE(oldFrame, newFrame) << "the change must show in the picture";

  Filter filter(plugin.module, plugin.oldSettings);
  filter.Start();
  ASSERT_EQ(filter.Render(), oldFrame);
  std::vector<uint8_t> previewed;
  filter.instance.preview.onRedoFrame = [&] { previewed = filter.Render(); };
  std::vector<uint8_t> afterChange, disabled, difference;
  const DialogRun run = Configure(filter, [&](DialogUser& user) {
    user.Command(kPreview, BN_CLICKED);
    plugin.change(user);
    afterChange = previewed;
    user.Select(kViewMode, 1);
    disabled = previewed;
    user.Select(kViewMode, 2);
    difference = previewed;
    user.Click(kCancel);
  });
  ASSERT_TRUE(run.opened);
  EXPECT_EQ(run.result, kHostCancel);
  EXPECT_EQ(afterChange, newFrame);
  EXPECT_EQ(disabled, filter.source.RawBytes());
  std::vector<uint8_t> expectedDifference = filter.source.RawBytes();
  for (std::size_t i = 0; i < expectedDifference.size(); ++i)
    if (expectedDifference[i] != newFrame[i]) expectedDifference[i] = 0;
  EXPECT_EQ(difference, expectedDifference);
  EXPECT_EQ(filter.Render(), oldFrame) << "after Cancel the old settings filter again";

  // OK keeps the change, and the filter runs in "Full" whatever the list showed.
  Configure(filter, [&](DialogUser& user) {
    plugin.change(user);
    user.Select(kViewMode, 1);
    user.Click(kOk);
  });
  EXPECT_EQ(filter.Render(), newFrame);
}

INSTANTIATE_TEST_SUITE_P(Plugins, SharedDialog, ::testing::ValuesIn(kPlugins),
                         [](const auto& info) { return Narrow(info.param.module); });

// --- Templates ---------------------------------------------------------------------------

std::string Describe(const DialogControl& c) {
  return fmt::format("{} {} \"{}\" {},{},{},{} style={:#x} ex={:#x} help={}", c.id, Narrow(c.className), Narrow(c.text),
                     c.x, c.y, c.cx, c.cy, c.style, c.exStyle, c.helpId);
}

DialogControl Control(int32_t id, const wchar_t* className, const wchar_t* text, std::array<int, 4> rect,
                      uint32_t style, uint32_t exStyle = 0) {
  return {id, className, text, rect[0], rect[1], rect[2], rect[3], style | WS_CHILD | WS_VISIBLE, exStyle, 0};
}

constexpr uint32_t kLabel = SS_LEFT | WS_GROUP;
constexpr uint32_t kTicked = TBS_AUTOTICKS | TBS_BOTH | TBS_NOTICKS | WS_TABSTOP;
constexpr uint32_t kPlain = TBS_BOTH | TBS_NOTICKS | WS_TABSTOP;
constexpr uint32_t kDropDown = CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP;
const wchar_t* const kTrackbar = L"msctls_trackbar32";

std::vector<DialogControl> CommonButtons() {
  return {Control(1, L"BUTTON", L"OK", {250, 7, 50, 14}, BS_DEFPUSHBUTTON | WS_TABSTOP),
          Control(1001, L"BUTTON", L"Preview", {250, 25, 50, 14}, BS_PUSHBUTTON | WS_TABSTOP | WS_DISABLED),
          Control(2, L"BUTTON", L"Cancel", {250, 124, 50, 14}, BS_PUSHBUTTON | WS_TABSTOP)};
}

std::vector<DialogControl> DeblockControls() {
  std::vector<DialogControl> controls = CommonButtons();
  controls.insert(controls.end(),
                  {Control(1002, L"BUTTON", L"Strong deblock", {70, 14, 63, 10}, BS_AUTOCHECKBOX | WS_TABSTOP),
                   Control(1007, L"COMBOBOX", L"", {70, 26, 48, 75}, kDropDown),
                   Control(1008, kTrackbar, L"", {70, 45, 164, 15}, kTicked),
                   Control(1010, kTrackbar, L"", {70, 63, 164, 15}, kPlain),
                   Control(1009, kTrackbar, L"", {70, 81, 164, 15}, kPlain),
                   Control(1011, kTrackbar, L"", {70, 100, 164, 15}, kTicked),
                   Control(1003, L"BUTTON", L"Y Plane Only", {70, 121, 56, 10}, BS_AUTOCHECKBOX | WS_TABSTOP),
                   Control(-1, L"STATIC", L"Block size", {125, 28, 31, 8}, kLabel),
                   Control(-1, L"STATIC", L"Alpha", {8, 51, 51, 8}, kLabel, WS_EX_RIGHT),
                   Control(-1, L"STATIC", L"Beta", {7, 68, 51, 8}, kLabel, WS_EX_RIGHT),
                   Control(-1, L"STATIC", L"Gamma", {7, 87, 51, 8}, kLabel, WS_EX_RIGHT),
                   Control(-1, L"STATIC", L"Delta", {7, 106, 51, 8}, kLabel, WS_EX_RIGHT),
                   Control(1012, L"COMBOBOX", L"", {252, 51, 48, 49}, kDropDown | WS_DISABLED)});
  return controls;
}

std::vector<DialogControl> UnsharpControls() {
  std::vector<DialogControl> controls = CommonButtons();
  controls.insert(controls.end(), {Control(1008, kTrackbar, L"", {73, 6, 161, 15}, kTicked),
                                   Control(1010, kTrackbar, L"", {73, 24, 161, 15}, kPlain),
                                   Control(1009, kTrackbar, L"", {73, 42, 161, 15}, kPlain),
                                   Control(1011, kTrackbar, L"", {73, 61, 161, 15}, kTicked),
                                   Control(-1, L"STATIC", L"Luma X", {17, 12, 51, 8}, kLabel, WS_EX_RIGHT),
                                   Control(-1, L"STATIC", L"Luma Y", {17, 28, 51, 8}, kLabel, WS_EX_RIGHT),
                                   Control(-1, L"STATIC", L"Luma strength", {17, 46, 51, 8}, kLabel, WS_EX_RIGHT),
                                   Control(-1, L"STATIC", L"Chroma X", {17, 65, 51, 8}, kLabel, WS_EX_RIGHT),
                                   Control(1012, L"COMBOBOX", L"", {252, 51, 48, 49}, kDropDown | WS_DISABLED),
                                   Control(1013, kTrackbar, L"", {73, 80, 161, 15}, kPlain),
                                   Control(1014, kTrackbar, L"", {73, 99, 161, 15}, kTicked),
                                   Control(-1, L"STATIC", L"Chroma Y", {17, 84, 51, 8}, kLabel, WS_EX_RIGHT),
                                   Control(-1, L"STATIC", L"Chroma strength", {7, 103, 61, 8}, kLabel, WS_EX_RIGHT)});
  return controls;
}

struct TemplateCase {
  std::wstring module;
  std::vector<DialogControl> controls;
};

std::ostream& operator<<(std::ostream& out, const TemplateCase& c) { return out << Narrow(c.module); }

class DialogResource : public ::testing::TestWithParam<TemplateCase> {};

TEST_P(DialogResource, MatchesTheLayoutTable) {
  const std::optional<DialogTemplate> dialog = ReadDialogTemplate(Loaded(GetParam().module).Handle(), 101);
  ASSERT_TRUE(dialog.has_value()) << "no extended template 101 in English (United Kingdom)";
  EXPECT_EQ(Narrow(dialog->caption), "Dialog");
  EXPECT_EQ((std::array{dialog->x, dialog->y, dialog->cx, dialog->cy}), (std::array{0, 0, 307, 145}));
  EXPECT_EQ(dialog->style,
            static_cast<uint32_t>(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | DS_FIXEDSYS));
  EXPECT_EQ(dialog->exStyle, 0u);
  EXPECT_EQ(dialog->helpId, 0u);
  EXPECT_TRUE(dialog->menu.empty());
  EXPECT_TRUE(dialog->windowClass.empty());
  EXPECT_EQ(Narrow(dialog->fontName), "MS Shell Dlg");
  EXPECT_EQ(dialog->pointSize, 8);
  EXPECT_EQ(dialog->weight, 400);
  EXPECT_FALSE(dialog->italic);
  EXPECT_EQ(dialog->charset, 1);

  std::vector<std::string> actual, expected;
  for (const DialogControl& control : dialog->controls) actual.push_back(Describe(control));
  for (const DialogControl& control : GetParam().controls) expected.push_back(Describe(control));
  EXPECT_EQ(actual, expected);
}

INSTANTIATE_TEST_SUITE_P(Plugins, DialogResource,
                         ::testing::Values(TemplateCase{kDeblock, DeblockControls()},
                                           TemplateCase{kUnsharp, UnsharpControls()}),
                         [](const auto& info) { return Narrow(info.param.module); });

}  // namespace
}  // namespace testhost
