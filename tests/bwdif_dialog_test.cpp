// The bwdif dialog's own controls: the output and field-order lists.
#include "dialog_suite.h"

#include <climits>

namespace testhost {
namespace {

constexpr int kViewMode = 1014, kOutput = 1015, kFieldOrder = 1017;
const std::wstring kBwDif = L"TarvuBwDif";

TEST(BwDifDialog, ListsOpenOnTheRecordAndOutOfRangeValuesSelectNothing) {
  struct Opening {
    std::vector<int32_t> script;
    int output, fieldOrder;
  };
  const Opening openings[] = {{{0, -1}, 0, 0},        {{1, 1}, 1, 2},   {{0, 0}, 0, 1},
                              {{-1, -2}, -1, -1},     {{2, 2}, -1, -1}, {{INT_MAX, INT_MAX}, -1, -1},
                              {{INT_MIN, INT_MIN}, -1, -1}};
  for (const Opening& opening : openings) {
    Filter filter(kBwDif, opening.script);
    const std::string line = filter.instance.ScriptLine();
    std::vector<std::wstring> outputs, orders, views;
    int output = -5, order = -5, view = -5;
    Configure(filter, [&](DialogUser& user) {
      outputs = user.Items(kOutput);
      orders = user.Items(kFieldOrder);
      views = user.Items(kViewMode);
      output = user.Selection(kOutput);
      order = user.Selection(kFieldOrder);
      view = user.Selection(kViewMode);
      user.Click(kOk);
    });
    EXPECT_EQ(outputs, (std::vector<std::wstring>{L"Frame", L"Field"}));
    EXPECT_EQ(orders, (std::vector<std::wstring>{L"auto", L"tff", L"bff"}));
    EXPECT_EQ(views, (std::vector<std::wstring>{L"Full", L"Disabled", L"Difference"}));
    EXPECT_EQ((std::array{output, order, view}), (std::array{opening.output, opening.fieldOrder, 0})) << line;
    EXPECT_EQ(filter.instance.ScriptLine(), line) << "opening and OK change nothing";
  }
}

TEST(BwDifDialog, EachListWritesItsField) {
  Filter filter(kBwDif);
  RunSteps(filter,
           {{[](DialogUser& u) { u.Select(kOutput, 1); }, "Config(1,-1)", 1},
            {[](DialogUser& u) { u.Select(kFieldOrder, 2); }, "Config(1,1)", 1},
            {[](DialogUser& u) { u.Select(kFieldOrder, 1); }, "Config(1,0)", 1},
            {[](DialogUser& u) { u.Command(kFieldOrder, CBN_DROPDOWN); }, "Config(1,0)", 0},
            {[](DialogUser& u) { u.Command(kOutput, CBN_CLOSEUP); }, "Config(1,0)", 0},
            {[](DialogUser& u) { u.Select(kFieldOrder, -1); }, "Config(1,-1)", 1},
            {[](DialogUser& u) { u.Select(kOutput, -1); }, "Config(0,-1)", 1},
            {[](DialogUser& u) { u.Select(kFieldOrder, 2); }, "Config(0,1)", 1}},
           kOk);
}

TEST(BwDifDialog, OutOfRangeValuesStayUntilTheUserPicks) {
  Filter filter(kBwDif, {5, -7});
  RunSteps(filter,
           {{[](DialogUser& u) { u.Select(kViewMode, 2); }, "Config(5,-7)", 1},
            {[](DialogUser& u) { u.Select(kOutput, 1); }, "Config(1,-7)", 1},
            {[](DialogUser& u) { u.Select(kFieldOrder, 0); }, "Config(1,-1)", 1}},
           kOk);
}

// Without a redraw in between, Cancel also puts back the settled state: the
// next frame goes through the running graph; a rebuilt one would pass the
// source through while it fills.
TEST(BwDifDialog, CancelRestoresModeParityAndThePendingChange) {
  Filter filter(kBwDif, {0, 1});
  filter.Start();
  filter.Render();
  Configure(filter, [&](DialogUser& user) {
    user.Select(kOutput, 1);
    user.Select(kFieldOrder, 0);
    user.Click(kCancel);
  });
  EXPECT_EQ(filter.instance.ScriptLine(), "Config(0,1)");
  filter.source.FillBlocks(99);
  filter.instance.Run();
  EXPECT_NE(filter.destination.RawBytes(), filter.source.RawBytes()) << "a change was left pending";
}

// The host invalidated its frames while the dialog was open: Cancel keeps
// that, and the next frame starts afresh instead of mixing in older ones.
TEST(BwDifDialog, CancelKeepsACacheEventFromWhileItWasOpen) {
  Filter filter(kBwDif, {0, 1});
  filter.Start();
  filter.Render();
  filter.Render();
  Configure(filter, [&](DialogUser& user) {
    filter.instance.Event(1);
    user.Click(kCancel);
  });
  filter.source.FillBlocks(99);
  filter.instance.Run();
  EXPECT_EQ(filter.destination.RawBytes(), filter.source.RawBytes()) << "the first frame after the event passes through";
}

std::vector<DialogControl> BwDifControls() {
  std::vector<DialogControl> controls = CommonButtons(144, 62);
  controls.insert(controls.end(), {Control(-1, L"STATIC", L"Output", {17, 17, 41, 8}, kLabel),
                                   Control(-1, L"STATIC", L"Field order", {17, 39, 41, 8}, kLabel),
                                   Control(1014, L"COMBOBOX", L"", {146, 45, 48, 64}, kDropDown),
                                   Control(1015, L"COMBOBOX", L"", {63, 14, 68, 64}, kDropDown),
                                   Control(1017, L"COMBOBOX", L"", {63, 36, 68, 64}, kDropDown)});
  return controls;
}

INSTANTIATE_TEST_SUITE_P(BwDif, SharedDialog,
                         ::testing::Values(DialogCase{kBwDif,
                                                      2,
                                                      kViewMode,
                                                      true,
                                                      {201, 83},
                                                      BwDifControls(),
                                                      {0, -1},
                                                      {0, 1},
                                                      "Config(0,-1)",
                                                      "Config(0,1)",
                                                      [](DialogUser& u) { u.Select(kFieldOrder, 2); },
                                                      L"BwDif Deinterlace"}),
                         DialogCaseName);

}  // namespace
}  // namespace testhost
