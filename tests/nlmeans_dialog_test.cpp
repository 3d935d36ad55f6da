// The NL-means dialog's own controls: five trackbars and the "Auto chroma"
// box that hides the chroma pair.
#include "dialog_suite.h"

#include "plugins/nlmeans/nlmeans.h"

namespace testhost {
namespace {

constexpr int kViewMode = 1012, kAutoChroma = 1003;
constexpr int kStrength = 1008, kPatch = 1007, kResearch = 1009, kChromaPatch = 1011, kChromaResearch = 1013;
constexpr int kChromaPatchLabel = 1014, kChromaResearchLabel = 1015;
constexpr int kTrackbars[] = {kStrength, kPatch, kResearch, kChromaPatch, kChromaResearch};
const std::wstring kNlMeans = L"TarvuNlMeans";

// Visible, then enabled, for each chroma trackbar and label.
using ChromaState = std::array<bool, 8>;

ChromaState Chroma(DialogUser& user) {
  ChromaState state{};
  const int ids[] = {kChromaPatch, kChromaResearch, kChromaPatchLabel, kChromaResearchLabel};
  for (std::size_t i = 0; i < 4; ++i) {
    state[i] = IsWindowVisible(user.Item(ids[i])) != FALSE;
    state[4 + i] = user.IsEnabled(ids[i]);
  }
  return state;
}

const ChromaState kShown = {true, true, true, true, true, true, true, true};
const ChromaState kHidden = {false, false, false, false, false, false, true, true};  // labels only hidden

TEST(NlMeansDialog, OpensOnTheRecordWithTheChromaPairShownOrHidden) {
  // autoChroma -1 from a script: the box shows it as set (non-zero).
  for (const auto& [script, ticked, chroma] :
       {std::tuple{std::vector<int32_t>{300, 60, 0, 0, 7, 49}, false, kShown},
        {std::vector<int32_t>{5, 3, 1, 1, 12, 4}, true, kHidden},
        {std::vector<int32_t>{5, 3, 1, -1, 12, 4}, true, kHidden}}) {
    Filter filter(kNlMeans, script);
    std::map<int, std::array<int, 3>> seen;  // id -> min, max, position
    bool boxTicked = !ticked, viewListEnabled = true;
    ChromaState state{};
    Configure(filter, [&](DialogUser& user) {
      for (int id : kTrackbars) seen[id] = {user.RangeMin(id), user.RangeMax(id), user.Position(id)};
      boxTicked = user.IsChecked(kAutoChroma);
      viewListEnabled = user.IsEnabled(kViewMode);
      state = Chroma(user);
      user.Click(kOk);
    });
    const std::map<int, std::array<int, 3>> expected = {{kStrength, {10, 300, std::max(script[0], 10)}},
                                                        {kPatch, {0, 49, std::min(script[1], 49)}},
                                                        {kResearch, {0, 49, script[2]}},
                                                        {kChromaPatch, {0, 49, script[4]}},
                                                        {kChromaResearch, {0, 49, script[5]}}};
    EXPECT_EQ(seen, expected) << script[3];
    EXPECT_EQ(boxTicked, ticked) << script[3];
    EXPECT_EQ(state, chroma) << script[3];
    EXPECT_FALSE(viewListEnabled);
    EXPECT_EQ(filter.instance.ScriptLine(), fmt::format("Config({})", fmt::join(script, ",")))
        << "out-of-range values kept until their trackbar moves";
  }
}

TEST(NlMeansDialog, EachControlWritesItsFieldAndTheBoxHidesTheChromaPair) {
  Filter filter(kNlMeans);
  std::vector<ChromaState> states;
  std::vector<std::array<int, 2>> positions;
  auto look = [&](DialogUser& u) {
    states.push_back(Chroma(u));
    positions.push_back({u.Position(kChromaPatch), u.Position(kChromaResearch)});
  };
  RunSteps(filter,
           {
               {[](DialogUser& u) { u.Drag(kStrength, {200, 250}); }, "Config(250,3,1,0,2,1)", 3},
               {[](DialogUser& u) { u.Drag(kPatch, {49}); }, "Config(250,49,1,0,2,1)", 2},
               {[](DialogUser& u) { u.Drag(kResearch, {0}); }, "Config(250,49,0,0,2,1)", 2},
               {[](DialogUser& u) { u.Drag(kChromaPatch, {9}); }, "Config(250,49,0,0,9,1)", 2},
               {[](DialogUser& u) { u.Drag(kChromaResearch, {30}); }, "Config(250,49,0,0,9,30)", 2},
               {[&](DialogUser& u) {
                  u.Click(kAutoChroma);
                  look(u);
                },
                "Config(250,49,0,1,9,30)", 1},
               {[&](DialogUser& u) {
                  u.Click(kAutoChroma);
                  look(u);
                },
                "Config(250,49,0,0,9,30)", 1},
           },
           kOk);
  EXPECT_EQ(states, (std::vector<ChromaState>{kHidden, kShown}));
  EXPECT_EQ(positions, (std::vector<std::array<int, 2>>{{9, 30}, {9, 30}})) << "positions kept while hidden";
}

// The settings-changed message marks the change again before the redraw.
TEST(NlMeansDialog, RedrawMarksTheSettingsChangedAgain) {
  Filter filter(kNlMeans);
  auto& settings = static_cast<tarvu::NlMeansFilter*>(filter.instance.FilterObject())->settings;
  std::vector<bool> pendingAtRedraw;
  filter.instance.preview.onRedoFrame = [&] { pendingAtRedraw.push_back(settings.reinitPending); };
  Configure(filter, [&](DialogUser& user) {
    PostMessageW(user.Window(), WM_APP + 300, 0, 0);
    user.Settle();
    user.Click(kOk);
  });
  EXPECT_EQ(pendingAtRedraw, std::vector<bool>{true});
}

TEST(NlMeansDialog, CancelRestoresEveryFieldTheModeAndTheChangedFlag) {
  for (bool pendingBefore : {false, true}) {
    Filter filter(kNlMeans, {40, 5, 6, 0, 7, 8});
    auto& settings = static_cast<tarvu::NlMeansFilter*>(filter.instance.FilterObject())->settings;
    settings.viewMode = 2;
    settings.reinitPending = pendingBefore;
    const DialogRun run = Configure(filter, [&](DialogUser& user) {
      user.Drag(kStrength, {120});
      user.Drag(kChromaPatch, {1});
      user.Click(kAutoChroma);
      user.Drag(kPatch, {0});
      user.Drag(kResearch, {44});
      user.Click(kAutoChroma);
      user.Drag(kChromaResearch, {2});
      user.Select(kViewMode, 1);
      user.Click(kAutoChroma);
      user.Click(kCancel);
    });
    EXPECT_EQ(run.result, kHostCancel);
    EXPECT_EQ(filter.instance.ScriptLine(), "Config(40,5,6,0,7,8)");
    EXPECT_EQ(settings.viewMode, 2);
    EXPECT_EQ(settings.reinitPending, pendingBefore);
  }
}

std::vector<DialogControl> NlMeansControls() {
  std::vector<DialogControl> controls = CommonButtons(250, 124);
  controls.insert(controls.end(),
                  {Control(1008, kTrackbar, L"", {70, 7, 164, 15}, kTicked),
                   Control(1007, kTrackbar, L"", {70, 25, 164, 15}, kPlain),
                   Control(1009, kTrackbar, L"", {70, 41, 164, 15}, kPlain),
                   Control(1011, kTrackbar, L"", {70, 92, 164, 15}, kTicked),
                   Control(1003, L"BUTTON", L"Auto chroma", {76, 77, 57, 10}, BS_AUTOCHECKBOX | WS_TABSTOP),
                   Control(-1, L"STATIC", L"Strength", {8, 13, 51, 8}, kLabel, WS_EX_RIGHT),
                   Control(-1, L"STATIC", L"Patch size", {7, 30, 51, 8}, kLabel, WS_EX_RIGHT),
                   Control(-1, L"STATIC", L"Research size", {7, 47, 51, 8}, kLabel, WS_EX_RIGHT),
                   Control(1014, L"STATIC", L"Patch size", {7, 97, 51, 8}, kLabel, WS_EX_RIGHT),
                   Control(1012, L"COMBOBOX", L"", {252, 51, 48, 49}, kDropDown | WS_DISABLED),
                   Control(1013, kTrackbar, L"", {70, 108, 164, 15}, kTicked),
                   Control(1015, L"STATIC", L"Research size", {7, 113, 51, 8}, kLabel, WS_EX_RIGHT)});
  return controls;
}

INSTANTIATE_TEST_SUITE_P(NlMeans, SharedDialog,
                         ::testing::Values(DialogCase{kNlMeans,
                                                      101,
                                                      kViewMode,
                                                      false,
                                                      {307, 145},
                                                      NlMeansControls(),
                                                      {10, 3, 1, 0, 2, 1},
                                                      {300, 3, 1, 0, 2, 1},
                                                      "Config(10,3,1,0,2,1)",
                                                      "Config(300,3,1,0,2,1)",
                                                      [](DialogUser& u) { u.Drag(kStrength, {300}); }}),
                         DialogCaseName);

}  // namespace
}  // namespace testhost
