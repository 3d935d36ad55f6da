// The smart-blur dialog's own controls: six trackbars with reset buttons and
// the separate-chroma box.
#include "dialog_suite.h"

namespace testhost {
namespace {

constexpr int kViewMode = 1014, kSeparateChroma = 1002;
constexpr int kLumaRadius = 1008, kLumaThreshold = 1009, kLumaStrength = 1010;
constexpr int kChromaRadius = 1011, kChromaStrength = 1012, kChromaThreshold = 1013;
constexpr int kTrackbars[] = {kLumaRadius,   kLumaStrength,   kLumaThreshold,
                              kChromaRadius, kChromaStrength, kChromaThreshold};
constexpr int kResetButtons[] = {1015, 1016, 1017, 1018, 1019, 1020};
const std::wstring kSmartBlur = L"TarvuSmartBlur";

HICON ButtonIcon(DialogUser& user, int id) {
  return reinterpret_cast<HICON>(SendDlgItemMessageW(user.Window(), id, BM_GETIMAGE, IMAGE_ICON, 0));
}

TEST(SmartBlurDialog, OpensOnTheRecordWithIconsOnTheResetButtons) {
  Filter filter(kSmartBlur, {5, 60, -4, 45, 30, -11, -31});
  std::map<int, std::array<int, 3>> seen;  // id -> min, max, position
  bool separate = false, viewListEnabled = false;
  std::vector<HICON> icons;
  Configure(filter, [&](DialogUser& user) {
    for (int id : kTrackbars) seen[id] = {user.RangeMin(id), user.RangeMax(id), user.Position(id)};
    separate = user.IsChecked(kSeparateChroma);
    viewListEnabled = user.IsEnabled(kViewMode);
    for (int id : kResetButtons) icons.push_back(ButtonIcon(user, id));
    user.Click(kCancel);
  });
  const std::map<int, std::array<int, 3>> expected = {
      {kLumaRadius, {1, 50, 50}},   {kLumaStrength, {-10, 10, -4}},    {kLumaThreshold, {-30, 30, 30}},
      {kChromaRadius, {1, 50, 30}}, {kChromaStrength, {-10, 10, -10}}, {kChromaThreshold, {-30, 30, -30}},
  };
  EXPECT_EQ(seen, expected);
  EXPECT_TRUE(separate);
  EXPECT_TRUE(viewListEnabled) << "enabled in the template, and left so";
  ASSERT_EQ(icons.size(), 6u);
  EXPECT_NE(icons[0], nullptr);
  EXPECT_EQ(std::set<HICON>(icons.begin(), icons.end()).size(), 1u) << "one icon serves all six buttons";
  EXPECT_EQ(filter.instance.ScriptLine(), "Config(1,60,-4,45,30,-11,-31)") << "out-of-range values kept";
}

TEST(SmartBlurDialog, EachControlWritesItsField) {
  Filter filter(kSmartBlur);
  RunSteps(filter,
           {
               {[](DialogUser& u) {
                  u.Drag(kLumaRadius, {20, 25});
                },
                "Config(0,25,10,0,10,10,0)", 3},
               {[](DialogUser& u) { u.Drag(kLumaStrength, {-3}); }, "Config(0,25,-3,0,10,10,0)", 2},
               {[](DialogUser& u) { u.Drag(kLumaThreshold, {12}); }, "Config(0,25,-3,12,10,10,0)", 2},
               {[](DialogUser& u) { u.Click(kSeparateChroma); }, "Config(1,25,-3,12,10,10,0)", 1},
               {[](DialogUser& u) { u.Drag(kChromaRadius, {35}); }, "Config(1,25,-3,12,35,10,0)", 2},
               {[](DialogUser& u) { u.Drag(kChromaStrength, {-7}); }, "Config(1,25,-3,12,35,-7,0)", 2},
               {[](DialogUser& u) { u.Drag(kChromaThreshold, {-30}); }, "Config(1,25,-3,12,35,-7,-30)", 2},
               {[](DialogUser& u) { u.Click(kSeparateChroma); }, "Config(0,25,-3,12,35,-7,-30)", 1},
           },
           kOk);
}

// Each button puts back one field and moves one thumb; nothing else moves.
TEST(SmartBlurDialog, ResetButtonsRestoreOneDefaultEach) {
  const std::vector<int32_t> moved = {1, 30, -4, 12, 30, -4, 12};
  const std::vector<std::string> lines = {"Config(1,10,-4,12,30,-4,12)", "Config(1,30,10,12,30,-4,12)",
                                          "Config(1,30,-4,0,30,-4,12)",  "Config(1,30,-4,12,10,-4,12)",
                                          "Config(1,30,-4,12,30,10,12)", "Config(1,30,-4,12,30,-4,0)"};
  for (std::size_t row = 0; row < 6; ++row) {
    Filter filter(kSmartBlur, moved);
    std::vector<int> positions;
    RunSteps(filter,
             {{[&](DialogUser& u) {
                 u.Click(kResetButtons[row]);
                 for (int id : kTrackbars) positions.push_back(u.Position(id));
               },
               lines[row], 1}},
             kOk);
    std::vector<int> expected = {30, -4, 12, 30, -4, 12};
    expected[row] = row % 3 == 0 ? 10 : row % 3 == 1 ? 10 : 0;
    EXPECT_EQ(positions, expected) << "row " << row;
  }
}

TEST(SmartBlurDialog, CheckBoxEnablesAndDisablesNothing) {
  Filter filter(kSmartBlur);
  std::vector<bool> enabled;
  Configure(filter, [&](DialogUser& user) {
    for (int press = 0; press < 2; ++press) {
      user.Click(kSeparateChroma);
      for (int id : kTrackbars) enabled.push_back(user.IsEnabled(id));
      for (int id : kResetButtons) enabled.push_back(user.IsEnabled(id));
    }
    user.Click(kOk);
  });
  EXPECT_EQ(enabled, std::vector<bool>(24, true));
}

// Every opening loads its own icon, and none outlives its dialog.
TEST(SmartBlurDialog, EachOpeningLoadsAnIconAndReleasesIt) {
  Filter filter(kSmartBlur);
  for (int opening = 0; opening < 3; ++opening) {
    HICON icon = nullptr;
    Configure(filter, [&](DialogUser& user) {
      icon = ButtonIcon(user, kResetButtons[0]);
      user.Click(kCancel);
    });
    ASSERT_NE(icon, nullptr) << "opening " << opening;
    ICONINFO info{};
    EXPECT_FALSE(GetIconInfo(icon, &info)) << "the icon of opening " << opening << " is still alive";
  }
}

std::vector<DialogControl> SmartBlurControls() {
  constexpr uint32_t kBar = TBS_BOTH | WS_TABSTOP;
  constexpr uint32_t kIconButton = BS_PUSHBUTTON | BS_ICON | WS_TABSTOP;
  std::vector<DialogControl> controls = CommonButtons(290, 147);
  controls.insert(controls.end(), {Control(1008, kTrackbar, L"", {104, 23, 130, 15}, kBar),
                                   Control(1010, kTrackbar, L"", {104, 44, 130, 15}, kBar),
                                   Control(1009, kTrackbar, L"", {104, 66, 130, 15}, kBar),
                                   Control(1002, L"BUTTON", L"Seperate Chroma settings", {104, 86, 99, 10},
                                           BS_AUTOCHECKBOX | WS_TABSTOP),
                                   Control(1011, kTrackbar, L"", {104, 100, 130, 15}, kBar),
                                   Control(1012, kTrackbar, L"", {104, 119, 130, 15}, kBar),
                                   Control(1013, kTrackbar, L"", {104, 138, 130, 15}, kBar),
                                   Control(-1, L"STATIC", L"Luma radius", {17, 23, 59, 8}, kLabel),
                                   Control(-1, L"STATIC", L"Luma stength", {17, 47, 59, 8}, kLabel),
                                   Control(-1, L"STATIC", L"Luma threshold", {17, 71, 59, 8}, kLabel),
                                   Control(-1, L"STATIC", L"Chroma radius", {17, 105, 59, 8}, kLabel),
                                   Control(-1, L"STATIC", L"Chroma strength", {17, 126, 59, 8}, kLabel),
                                   Control(-1, L"STATIC", L"Chroma threshold", {17, 144, 59, 8}, kLabel),
                                   Control(-1, L"STATIC", L"Edges", {84, 69, 20, 8}, kRightLabel, WS_EX_RIGHT),
                                   Control(-1, L"STATIC", L"Flat", {234, 68, 29, 8}, kLabel),
                                   Control(-1, L"STATIC", L"Smooth", {234, 49, 29, 8}, kLabel),
                                   Control(-1, L"STATIC", L"Sharp", {84, 49, 20, 8}, kRightLabel, WS_EX_RIGHT),
                                   Control(-1, L"STATIC", L"Flat", {234, 141, 29, 8}, kLabel),
                                   Control(-1, L"STATIC", L"Smooth", {234, 122, 29, 8}, kLabel),
                                   Control(-1, L"STATIC", L"Edges", {84, 140, 20, 8}, kRightLabel, WS_EX_RIGHT),
                                   Control(-1, L"STATIC", L"Sharp", {84, 120, 20, 8}, kRightLabel, WS_EX_RIGHT),
                                   Control(1014, L"COMBOBOX", L"", {292, 45, 48, 64}, kDropDown),
                                   Control(1015, L"BUTTON", L"", {262, 23, 18, 18}, kIconButton),
                                   Control(1016, L"BUTTON", L"", {262, 44, 18, 18}, kIconButton),
                                   Control(1017, L"BUTTON", L"", {262, 66, 18, 18}, kIconButton),
                                   Control(1018, L"BUTTON", L"", {262, 100, 18, 18}, kIconButton),
                                   Control(1019, L"BUTTON", L"", {262, 119, 18, 18}, kIconButton),
                                   Control(1020, L"BUTTON", L"", {262, 138, 18, 18}, kIconButton)});
  return controls;
}

INSTANTIATE_TEST_SUITE_P(SmartBlur, SharedDialog,
                         ::testing::Values(DialogCase{kSmartBlur,
                                                      2,
                                                      kViewMode,
                                                      true,
                                                      {347, 168},
                                                      SmartBlurControls(),
                                                      {1, 10, 10, 0, 10, 10, 0},
                                                      {1, 10, 10, 0, 10, -10, 0},
                                                      "Config(1,10,10,0,10,10,0)",
                                                      "Config(1,10,10,0,10,-10,0)",
                                                      [](DialogUser& u) { u.Drag(kChromaStrength, {-10}); }}),
                         DialogCaseName);

}  // namespace
}  // namespace testhost
