// The behaviour every configuration dialog shares, from its real template.
#include "dialog_suite.h"

#include <fmt/format.h>

namespace testhost {

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

std::vector<DialogControl> CommonButtons(int x, int cancelY) {
  return {Control(1, L"BUTTON", L"OK", {x, 7, 50, 14}, BS_DEFPUSHBUTTON | WS_TABSTOP),
          Control(1001, L"BUTTON", L"Preview", {x, 25, 50, 14}, BS_PUSHBUTTON | WS_TABSTOP | WS_DISABLED),
          Control(2, L"BUTTON", L"Cancel", {x, cancelY, 50, 14}, BS_PUSHBUTTON | WS_TABSTOP)};
}

namespace {

std::string Describe(const DialogControl& c) {
  return fmt::format("{} {} \"{}\" {},{},{},{} style={:#x} ex={:#x} help={}", c.id, Narrow(c.className), Narrow(c.text),
                     c.x, c.y, c.cx, c.cy, c.style, c.exStyle, c.helpId);
}

}  // namespace

TEST_P(SharedDialog, OkKeepsTheEditsAndCancelRestoresThem) {
  const DialogCase& plugin = GetParam();
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
    user.Select(GetParam().viewModeId, 2);
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
    viewListEnabled.push_back(user.IsEnabled(GetParam().viewModeId));
    for (int press = 0; press < 3; ++press) {
      user.Command(kPreview, BN_CLICKED);
      viewListEnabled.push_back(user.IsEnabled(GetParam().viewModeId));
    }
    user.Click(kOk);
  });
  ASSERT_TRUE(run.opened);
  EXPECT_EQ(preview.Count("AttachButton"), 1);
  EXPECT_EQ(preview.attachedButton, previewButton);
  EXPECT_EQ(togglesAtOpen, 0);
  EXPECT_EQ(preview.Count("Toggle"), 3);
  EXPECT_EQ(preview.toggledWith, dialog);
  EXPECT_EQ(viewListEnabled, (std::vector<bool>{GetParam().viewListEnabledInTemplate, true, false, true}));
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
    viewListEnabled = user.IsEnabled(GetParam().viewModeId);
    user.Click(kCancel);
  });
  EXPECT_EQ(toggles, 1);
  EXPECT_EQ(preview.toggledWith, dialog);
  EXPECT_TRUE(viewListEnabled);
  const std::vector<std::string> opening(preview.calls.begin(), preview.calls.begin() + 3);
  EXPECT_EQ(opening, (std::vector<std::string>{"AttachButton", "IsShown", "Toggle"}));
}

TEST_P(SharedDialog, IgnoresOtherNotificationsAndForeignScrolls) {
  const DialogCase& plugin = GetParam();
  Filter filter(plugin.module, plugin.oldSettings);
  std::string line;
  Configure(filter, [&](DialogUser& user) {
    user.Command(GetParam().viewModeId, CBN_DROPDOWN);
    user.Command(GetParam().viewModeId, CBN_CLOSEUP);
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
  const DialogCase& plugin = GetParam();
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
    user.Select(GetParam().viewModeId, 1);
    disabled = previewed;
    user.Select(GetParam().viewModeId, 2);
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
    user.Select(GetParam().viewModeId, 1);
    user.Click(kOk);
  });
  EXPECT_EQ(filter.Render(), newFrame);
}

TEST_P(SharedDialog, TemplateMatchesTheLayoutTable) {
  const std::optional<DialogTemplate> dialog =
      ReadDialogTemplate(Loaded(GetParam().module).Handle(), GetParam().templateId);
  ASSERT_TRUE(dialog.has_value()) << "no extended template in English (United Kingdom)";
  EXPECT_EQ(dialog->caption, GetParam().caption);
  EXPECT_EQ((std::array{dialog->x, dialog->y, dialog->cx, dialog->cy}),
            (std::array{0, 0, GetParam().size[0], GetParam().size[1]}));
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

}  // namespace testhost
