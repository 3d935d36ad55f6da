// Runs a module over the frames of a reference case and compares every
// destination with what the FFmpeg command-line tool made.
#pragma once

#include <gtest/gtest.h>

#include "module_fixture.h"
#include "reference_frames.h"

namespace testhost {

struct PixelCase {
  ReferenceCase reference;
  Mode mode;
  bool bottomUp;
};

inline FrameShape ShapeOf(const Picture& picture) { return {picture.Width(), picture.Height(), picture.Is420()}; }

// Every case in every mode, and the first one with bottom-up pictures.
inline std::vector<PixelCase> PixelCasesFor(const std::string& filter) {
  std::vector<PixelCase> cases;
  const auto references = LoadReferenceCases(filter);
  for (const ReferenceCase& reference : references)
    for (Mode mode : {Mode::kFull, Mode::kDifference, Mode::kDisabled}) cases.push_back({reference, mode, false});
  if (!references.empty()) cases.push_back({references.front(), Mode::kFull, true});
  return cases;
}

inline std::string PixelCaseName(const ::testing::TestParamInfo<PixelCase>& info) {
  static const char* const modes[] = {"Full", "Disabled", "Difference"};
  return info.param.reference.name + "_" + modes[static_cast<int>(info.param.mode)] +
         (info.param.bottomUp ? "_bottom_up" : "");
}

template <typename Filter>
void ExpectReferencePixels(const FilterDefinition& definition, const PixelCase& pixelCase) {
  const ReferenceCase& c = pixelCase.reference;
  Picture source(c.width, c.height, c.format, 7, pixelCase.bottomUp);
  Picture destination(c.destinationWidth, c.destinationHeight, c.format, 3, pixelCase.bottomUp);
  const FrameShape from = ShapeOf(source), to = ShapeOf(destination);
  const auto sources = SplitFrames(ReadBytes(SourceFile(c)), from);
  const auto filtered = SplitFrames(ReadBytes(FilteredFile(c)), from);
  ASSERT_EQ(sources.size(), 3u);
  ASSERT_EQ(filtered.size(), 3u);

  StreamingInstance<Filter> streaming(definition, source, destination);
  streaming.instance.Script(c.arguments, static_cast<int32_t>(c.arguments.size()));
  ASSERT_EQ(streaming.instance.GetParams(), 0x15);
  streaming.instance.Start();
  // What the dialog's view drop-down would set.
  streaming.filter().settings.viewMode = static_cast<int32_t>(pixelCase.mode);
  for (std::size_t frame = 0; frame < sources.size(); ++frame) {
    source.SetRawBytes(sources[frame]);
    destination.Fill(0x11);
    streaming.instance.Run();
    EXPECT_EQ(destination.RawBytes(), ExpectedDestination(pixelCase.mode, sources[frame], filtered[frame], from, to))
        << "frame " << frame;
    EXPECT_TRUE(destination.GuardsIntact());
  }
  EXPECT_EQ(streaming.filter().road.frameCounter, pixelCase.mode == Mode::kDisabled ? 0 : 3);
}

}  // namespace testhost
