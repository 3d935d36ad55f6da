// The tests every plug-in's core passes: registration, script round trips,
// host texts, negotiation, pixels against the FFmpeg tool and a change while
// streaming.
#include "plugin_suite.h"

#include <fmt/format.h>

namespace testhost {

using portable::ThePlugin;

const FilterDefinition& PluginDefinition() {
  const std::string name = ThePlugin().name;
  return LoadedModule(std::wstring(name.begin(), name.end())).Definition();
}

namespace {

struct SuiteInstance {
  SuiteInstance(int width = 32, int height = 32, int format = 15)
      : source(width, height, format, 5), destination(width, height, format, 3),
        instance(PluginDefinition(), source, destination) {
    EXPECT_EQ(instance.Init(), 0);
    source.FillBlocks(11);
  }
  void* object() const { return instance.FilterObject(); }
  std::string Options() const { return ThePlugin().OptionString(object()); }
  bool& Pending() const { return *ThePlugin().ReinitPending(object()); }
  void Script(const std::vector<int32_t>& arguments) {
    instance.Script(arguments, static_cast<int32_t>(arguments.size()));
  }
  Picture source, destination;
  Instance instance;
};

std::vector<int32_t> Repeated(int32_t value) { return std::vector<int32_t>(ThePlugin().scriptArguments, value); }

std::vector<uint8_t> FreshRun(const Picture& picture, const std::vector<int32_t>& arguments) {
  return FilteredByFreshInstance(PluginDefinition(), picture, arguments);
}

}  // namespace

TEST_P(PluginSuite, RegistersItsFilter) {
  const FilterDefinition& definition = PluginDefinition();
  EXPECT_EQ(definition.displayName, GetParam().displayName);
  EXPECT_EQ(definition.description, GetParam().displayName);
  EXPECT_EQ(definition.scriptObject->functionTable[0].signature,
            "0" + std::string(ThePlugin().scriptArguments, 'i'));
}

TEST_P(PluginSuite, FreshInstanceHasDefaults) {
  SuiteInstance fresh;
  EXPECT_EQ(fresh.instance.ScriptLine(), GetParam().defaultLine);
  EXPECT_EQ(fresh.Options(), GetParam().defaultOptions);
  EXPECT_FALSE(fresh.Pending());
  EXPECT_FALSE(ThePlugin().GraphReady(fresh.object()));
  EXPECT_EQ(ThePlugin().SinkFormats(fresh.object()), (SinkFormatList{0, -1}));
}

TEST_P(PluginSuite, ScriptLinesRoundTrip) {
  for (const ScriptCase& script : GetParam().scripts) {
    SuiteInstance filter;
    filter.Script(script.arguments);
    EXPECT_TRUE(filter.Pending());
    EXPECT_EQ(filter.instance.ScriptLine(), script.line);
    EXPECT_EQ(filter.Options(), script.options) << script.line;
    // The line written back restores the same settings.
    SuiteInstance restored;
    restored.Script(ThePlugin().ScriptValues(filter.object()));
    EXPECT_EQ(restored.instance.ScriptLine(), script.line);
  }
}

TEST_P(PluginSuite, ShortCallsAndExtraArguments) {
  const ScriptCase& stored = GetParam().scripts.front();
  SuiteInstance filter;
  filter.Script(stored.arguments);
  filter.Pending() = false;
  *ThePlugin().ViewMode(filter.object()) = 2;
  std::vector<int32_t> shortCall = Repeated(3);
  shortCall.pop_back();
  filter.Script(shortCall);
  if (ThePlugin().traits.shortCall == ShortScriptCall::kResetsToDefaults) {
    EXPECT_EQ(filter.instance.ScriptLine(), GetParam().defaultLine);
    EXPECT_TRUE(filter.Pending());
  } else {
    EXPECT_EQ(filter.instance.ScriptLine(), stored.line);
    EXPECT_FALSE(filter.Pending());
  }
  std::vector<int32_t> longCall = stored.arguments;
  longCall.insert(longCall.end(), {99, 98});
  filter.Script(longCall);
  EXPECT_EQ(filter.instance.ScriptLine(), stored.line);
  EXPECT_EQ(*ThePlugin().ViewMode(filter.object()), 2) << "a script call leaves the preview mode alone";
}

TEST_P(PluginSuite, ScriptLineRespectsBufferLength) {
  SuiteInstance filter;
  const std::string line = GetParam().defaultLine;
  char buffer[96];
  std::fill(std::begin(buffer), std::end(buffer), 'x');
  EXPECT_FALSE(filter.instance.ScriptLine(buffer, 0));
  EXPECT_FALSE(filter.instance.ScriptLine(buffer, -5));
  EXPECT_EQ(buffer[0], 'x');
  EXPECT_FALSE(filter.instance.ScriptLine(buffer, 1));
  EXPECT_EQ(buffer[0], '\0');
  EXPECT_EQ(buffer[1], 'x');
  EXPECT_TRUE(filter.instance.ScriptLine(buffer, 10));
  EXPECT_EQ(std::string(buffer), line.substr(0, 9));
  EXPECT_EQ(buffer[10], 'x');
  const auto whole = static_cast<int32_t>(line.size() + 1);
  EXPECT_TRUE(filter.instance.ScriptLine(buffer, whole));
  EXPECT_EQ(std::string(buffer), line);
  EXPECT_EQ(buffer[whole], 'x');
}

// Choices and flags keep some lines shorter than 79 characters.
TEST_P(PluginSuite, LegacyTextIsCutAt79Characters) {
  SuiteInstance filter;
  filter.Script(Repeated(-2000000000));
  const std::string line = filter.instance.ScriptLine();
  char buffer[200];
  std::fill(std::begin(buffer), std::end(buffer), 'x');
  filter.instance.LegacyString(buffer);
  EXPECT_EQ(std::string(buffer), line.substr(0, 79));
  EXPECT_EQ(buffer[80], 'x');
  EXPECT_EQ(std::string(buffer).rfind("Config(", 0), 0u);
}

TEST_P(PluginSuite, SettingsTextIsTheSameSixCharacters) {
  SuiteInstance filter;
  filter.Script(Repeated(7));
  char buffer[16];
  auto text = [&](int32_t length) {
    std::fill(std::begin(buffer), std::end(buffer), 'x');
    filter.instance.SettingsString(buffer, length);
    return std::string(buffer, buffer + 8);
  };
  EXPECT_EQ(text(16), std::string(" 0 1 2\0x", 8));
  EXPECT_EQ(text(4), std::string(" 0 \0xxxx", 8));
  EXPECT_EQ(text(1), std::string("\0xxxxxxx", 8));
  EXPECT_EQ(text(0), "xxxxxxxx");
  EXPECT_EQ(text(-3), "xxxxxxxx");
}

TEST_P(PluginSuite, NegotiatesTheEightFormatsAndNothingElse) {
  for (int format : {13, 15, 26, 28, 33, 35, 40, 42, 14, 0, -1, 16, 41}) {
    Picture source(16, 16, format), destination(16, 16, format);
    destination.bitmap.frameAttributes = 0;
    Instance instance(PluginDefinition(), source, destination);
    ASSERT_EQ(instance.Init(), 0);
    const bool accepted = PixelFormatForHostFormat(format) >= 0;
    EXPECT_EQ(instance.GetParams(), accepted ? ThePlugin().runFlags() : -1) << format;
    EXPECT_EQ(destination.bitmap.frameAttributes, accepted ? source.bitmap.frameAttributes : 0u) << format;
    const SinkFormatList expected = {accepted && !source.Is420() ? 5 : 0, -1};
    EXPECT_EQ(ThePlugin().SinkFormats(instance.FilterObject()), expected) << format;
  }
}

TEST_P(PluginSuite, ChangeWhileStreamingActsLikeAFreshRun) {
  SuiteInstance filter(40, 30, 15);
  const auto before = FreshRun(filter.source, GetParam().before);
  const auto after = FreshRun(filter.source, GetParam().after);
  ASSERT_NE(before, after) << "the two settings must differ in the picture";
  // A lagging filter shows a change once the host has given it its lag again.
  auto render = [&] {
    for (int32_t call = 0; call <= ThePlugin().traits.lagFrames; ++call) filter.instance.Run();
    return filter.destination.RawBytes();
  };
  filter.Script(GetParam().before);
  filter.instance.GetParams();
  filter.instance.Start();
  EXPECT_EQ(render(), before);
  filter.Script(GetParam().after);
  EXPECT_EQ(render(), after);
  filter.instance.End();
}

TEST_P(PluginSuite, KeepsNoStateAndLeavesFramesAlone) {
  SuiteInstance filter;
  char buffer[8] = "abcdefg";
  EXPECT_EQ(filter.instance.SaveState(buffer, 8), 0);
  EXPECT_EQ(filter.instance.LoadState(buffer, 8), 0);
  EXPECT_STREQ(buffer, "abcdefg");
  RecordingPrefetcher prefetcher;
  auto* object = static_cast<VDXVideoFilter*>(filter.object());
  EXPECT_TRUE(object->RequestPrefetch(7, &prefetcher));
  ASSERT_EQ(prefetcher.calls.size(), 1u);
  EXPECT_EQ(prefetcher.calls[0].frame, 7);
}

// Every reference case: the module sends the tool's option string, and each
// destination is what the tool made, in every preview mode. A lagging filter
// passes its first calls' sources through and then shows, at each call, the
// first picture the tool made of the frame that many calls back (the tool
// makes two pictures of each frame in a filter's one-per-field mode).
TEST_P(PluginPixels, MatchFfmpegTool) {
  const PixelCase& pixelCase = GetParam();
  const ReferenceCase& c = pixelCase.reference;
#ifndef _WIN32
  // The sanitizer build of FFmpeg has no assembly, and libswscale's C path
  // (smartblur blurs with it) rounds otherwise than the tool's SIMD path.
  // The Windows run compares these byte for byte.
  if (c.filter == "smartblur") GTEST_SKIP() << "libswscale's C path differs from the tool's";
#endif
  Picture source(c.width, c.height, c.format, 7, pixelCase.bottomUp);
  Picture destination(c.destinationWidth, c.destinationHeight, c.format, 3, pixelCase.bottomUp);
  const FrameShape from = ShapeOf(source), to = ShapeOf(destination);
  const auto sources = SplitFrames(ReadBytes(SourceFile(c)), from);
  const auto filtered = SplitFrames(ReadBytes(FilteredFile(c)), from);
  ASSERT_GE(sources.size(), 3u);
  ASSERT_FALSE(filtered.empty());
  ASSERT_EQ(filtered.size() % sources.size(), 0u);
  const std::size_t picturesPerFrame = filtered.size() / sources.size();
  const auto lag = static_cast<std::size_t>(ThePlugin().traits.lagFrames);

  StreamingInstance<VDXVideoFilter> streaming(PluginDefinition(), source, destination);
  void* object = streaming.instance.FilterObject();
  streaming.instance.Script(c.arguments, static_cast<int32_t>(c.arguments.size()));
  ASSERT_EQ(streaming.instance.GetParams(), ThePlugin().runFlags());
  ASSERT_EQ(ThePlugin().OptionString(object), c.options);
  streaming.instance.Start();
  *ThePlugin().ViewMode(object) = static_cast<int32_t>(pixelCase.mode);  // as the view list would
  for (std::size_t frame = 0; frame < sources.size(); ++frame) {
    source.SetRawBytes(sources[frame]);
    destination.Fill(0x11);
    streaming.instance.Run();
    const auto expected =
        frame < lag ? ExpectedDestination(Mode::kDisabled, sources[frame], sources[frame], from, to)
                    : ExpectedDestination(pixelCase.mode, sources[frame], filtered[(frame - lag) * picturesPerFrame],
                                          from, to);
    EXPECT_EQ(destination.RawBytes(), expected) << "frame " << frame;
    EXPECT_TRUE(destination.GuardsIntact());
  }
  const bool counted =
      pixelCase.mode != Mode::kDisabled || ThePlugin().traits.frameStep == FrameStep::kFirstPictureOrSource;
  EXPECT_EQ(ThePlugin().FrameCounter(object), counted ? static_cast<int64_t>(sources.size()) : 0);
}

}  // namespace testhost
