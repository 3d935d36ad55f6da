// The unsharp dialog's own controls.
#include "dialog_suite.h"

namespace testhost {
namespace {

constexpr int kViewMode = 1012;
constexpr int kLumaX = 1008, kLumaStrength = 1009, kLumaY = 1010, kChromaX = 1011, kChromaY = 1013,
              kChromaStrength = 1014;
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

std::vector<DialogControl> UnsharpControls() {
  std::vector<DialogControl> controls = CommonButtons(250, 124);
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

INSTANTIATE_TEST_SUITE_P(Unsharp, SharedDialog,
                         ::testing::Values(DialogCase{kUnsharp,
                                                      101,
                                                      kViewMode,
                                                      false,
                                                      {307, 145},
                                                      UnsharpControls(),
                                                      {1, 1, 10, 1, 1, 0},
                                                      {1, 1, -15, 1, 1, 0},
                                                      "Config(1,1,10,1,1,0)",
                                                      "Config(1,1,-15,1,1,0)",
                                                      [](DialogUser& u) { u.Drag(kLumaStrength, {-15}); }}),
                         DialogCaseName);

}  // namespace
}  // namespace testhost
