// The deblock dialog's own controls.
#include "dialog_suite.h"

namespace testhost {
namespace {

constexpr int kViewMode = 1012;
constexpr int kStrong = 1002, kLumaOnly = 1003, kBlockSize = 1007;
constexpr int kAlpha = 1008, kGamma = 1009, kBeta = 1010, kDelta = 1011;
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

std::vector<DialogControl> DeblockControls() {
  std::vector<DialogControl> controls = CommonButtons(250, 124);
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

INSTANTIATE_TEST_SUITE_P(Deblock, SharedDialog,
                         ::testing::Values(DialogCase{kDeblock,
                                                      101,
                                                      kViewMode,
                                                      false,
                                                      {307, 145},
                                                      DeblockControls(),
                                                      {0, 8, 10, 5, 5, 5, 0},
                                                      {0, 8, 100, 5, 5, 5, 0},
                                                      "Config(0,8,10,5,5,5,0)",
                                                      "Config(0,8,100,5,5,5,0)",
                                                      [](DialogUser& u) { u.Drag(kAlpha, {100}); }}),
                         DialogCaseName);

}  // namespace
}  // namespace testhost
