// The vague-denoiser dialog's own controls: three trackbars and two lists
// bound to the method and the threshold type.
#include "dialog_suite.h"

namespace testhost {
namespace {

constexpr int kViewMode = 1014, kMethod = 1015, kType = 1017;
constexpr int kThreshold = 1008, kPercent = 1009, kSteps = 1010;
const std::wstring kVagueDenoiser = L"TarvuVagueDenoiser";

TEST(VagueDenoiserDialog, OpensOnTheRecord) {
  Filter filter(kVagueDenoiser);
  std::map<int, std::array<int, 3>> trackbars;  // id -> min, max, position
  std::vector<std::vector<std::wstring>> items;
  std::array<int, 3> selections{};
  bool viewModeEnabled = false;
  Configure(filter, [&](DialogUser& user) {
    for (int id : {kThreshold, kSteps, kPercent})
      trackbars[id] = {user.RangeMin(id), user.RangeMax(id), user.Position(id)};
    items = {user.Items(kMethod), user.Items(kType), user.Items(kViewMode)};
    selections = {user.Selection(kMethod), user.Selection(kType), user.Selection(kViewMode)};
    viewModeEnabled = user.IsEnabled(kViewMode);
    user.Click(kCancel);
  });
  const std::map<int, std::array<int, 3>> expected = {
      {kThreshold, {1, 100, 2}}, {kSteps, {1, 32, 6}}, {kPercent, {0, 100, 85}}};
  EXPECT_EQ(trackbars, expected);
  const std::vector<std::vector<std::wstring>> expectedItems = {
      {L"Hard", L"Soft", L"Garotte"}, {L"Universal", L"Bayes"}, {L"Full", L"Disabled", L"Difference"}};
  EXPECT_EQ(items, expectedItems);
  EXPECT_EQ(selections, (std::array{2, 0, 0}));
  EXPECT_TRUE(viewModeEnabled) << "enabled in the template, and left so";
}

// A script value beyond a trackbar's range shows at its end, and stays in
// the record while other controls change, until that trackbar moves.
TEST(VagueDenoiserDialog, OutOfRangeValueStaysUntilItsTrackbarMoves) {
  Filter filter(kVagueDenoiser, {150, 40, -5, 2, 0});
  int threshold = -1, steps = -1, percent = -1;
  RunSteps(filter,
           {
               {[&](DialogUser& u) {
                  threshold = u.Position(kThreshold);
                  steps = u.Position(kSteps);
                  percent = u.Position(kPercent);
                },
                "Config(150,40,-5,2,0)", 0},
               {[](DialogUser& u) { u.Select(kMethod, 0); }, "Config(150,40,-5,0,0)", 1},
               {[](DialogUser& u) { u.Drag(kPercent, {50}); }, "Config(150,40,50,0,0)", 2},
               {[](DialogUser& u) { u.Drag(kThreshold, {100}); }, "Config(100,40,50,0,0)", 2},
           },
           kOk);
  EXPECT_EQ((std::array{threshold, steps, percent}), (std::array{100, 32, 0}));
}

TEST(VagueDenoiserDialog, EachControlWritesItsField) {
  Filter filter(kVagueDenoiser);
  RunSteps(filter,
           {
               {[](DialogUser& u) { u.Drag(kThreshold, {20, 25}); }, "Config(25,6,85,2,0)", 3},
               {[](DialogUser& u) { u.Drag(kSteps, {31, 32}); }, "Config(25,32,85,2,0)", 3},
               {[](DialogUser& u) { u.Drag(kPercent, {0}); }, "Config(25,32,0,2,0)", 2},
               {[](DialogUser& u) { u.Select(kMethod, 0); }, "Config(25,32,0,0,0)", 1},
               {[](DialogUser& u) { u.Select(kMethod, 1); }, "Config(25,32,0,1,0)", 1},
               {[](DialogUser& u) { u.Select(kMethod, 2); }, "Config(25,32,0,2,0)", 1},
               {[](DialogUser& u) { u.Select(kType, 1); }, "Config(25,32,0,2,1)", 1},
               {[](DialogUser& u) { u.Select(kType, 0); }, "Config(25,32,0,2,0)", 1},
           },
           kOk);
}

TEST(VagueDenoiserDialog, ListsOpenOnTheRecordAndIgnoreOtherNotifications) {
  Filter filter(kVagueDenoiser, {9, 3, 40, 1, 1});
  std::array<int, 2> selections{};
  RunSteps(filter,
           {{[&](DialogUser& u) {
               selections = {u.Selection(kMethod), u.Selection(kType)};
               for (int id : {kMethod, kType})
                 for (int code : {CBN_DROPDOWN, CBN_CLOSEUP, CBN_SETFOCUS, CBN_KILLFOCUS}) u.Command(id, code);
             },
             "Config(9,3,40,1,1)", 0}},
           kOk);
  EXPECT_EQ(selections, (std::array{1, 1}));
}

std::vector<DialogControl> VagueDenoiserControls() {
  constexpr uint32_t kTickedBar = TBS_AUTOTICKS | TBS_BOTH | WS_TABSTOP;
  std::vector<DialogControl> controls = CommonButtons(276, 147);
  controls.insert(controls.end(), {Control(kThreshold, kTrackbar, L"", {104, 23, 130, 15}, kTickedBar),
                                   Control(kSteps, kTrackbar, L"", {104, 44, 130, 15}, kTickedBar),
                                   Control(kPercent, kTrackbar, L"", {104, 66, 130, 15}, kPlain),
                                   Control(-1, L"STATIC", L"Threshold", {17, 23, 59, 8}, kLabel),
                                   Control(-1, L"STATIC", L"Method", {17, 100, 59, 8}, kLabel),
                                   Control(-1, L"STATIC", L"Percent", {17, 71, 59, 8}, kLabel),
                                   Control(-1, L"STATIC", L"nSteps", {17, 47, 59, 8}, kLabel),
                                   Control(-1, L"STATIC", L"Type", {17, 122, 59, 8}, kLabel),
                                   Control(kViewMode, L"COMBOBOX", L"", {278, 45, 48, 64}, kDropDown),
                                   Control(kMethod, L"COMBOBOX", L"", {104, 97, 68, 64}, kDropDown),
                                   Control(kType, L"COMBOBOX", L"", {104, 119, 68, 64}, kDropDown)});
  return controls;
}

INSTANTIATE_TEST_SUITE_P(VagueDenoiser, SharedDialog,
                         ::testing::Values(DialogCase{kVagueDenoiser,
                                                      2,
                                                      kViewMode,
                                                      true,
                                                      {333, 168},
                                                      VagueDenoiserControls(),
                                                      {2, 6, 85, 2, 0},
                                                      {40, 6, 85, 2, 0},
                                                      "Config(2,6,85,2,0)",
                                                      "Config(40,6,85,2,0)",
                                                      [](DialogUser& u) { u.Drag(kThreshold, {40}); },
                                                      L"Vague Denoiser"}),
                         DialogCaseName);

}  // namespace
}  // namespace testhost
