// Modules that bind FFmpeg on first use, staged as a user installs them, run
// by a program that has no FFmpeg DLL beside it: they work with the DLLs in
// tarvudlls alone, and without them they still load, register, answer their
// script line and pass frames through. Each ctest run of this program stages
// one way, since a DLL once loaded stays loaded for the process.
//   staged_start_test <Libraries: all|none|no-avfilter> <module...>
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "testhost/module_loader.h"

namespace testhost {

Libraries staging = Libraries::kAll;
std::vector<std::wstring> modules;

namespace {

// The platform's delay-load failures (module or procedure not found): no
// module may raise one, let alone pass one to the host.
constexpr DWORD kDelayLoadFailures[] = {0xC06D007E, 0xC06D007F};
int delayLoadFailures = 0;

LONG CALLBACK CountDelayLoadFailures(EXCEPTION_POINTERS* exception) {
  for (DWORD code : kDelayLoadFailures)
    if (exception->ExceptionRecord->ExceptionCode == code) ++delayLoadFailures;
  return EXCEPTION_CONTINUE_SEARCH;
}

TEST(StagedStart, EveryModuleLoadsRegistersAndStreams) {
  ASSERT_FALSE(modules.empty());
  void* watcher = AddVectoredExceptionHandler(1, &CountDelayLoadFailures);
  for (const std::wstring& name : modules) {
    SCOPED_TRACE(std::string(name.begin(), name.end()));
    Module module(StageModule(name, staging));
    ASSERT_EQ(module.Init(), 0);
    ASSERT_EQ(module.registrations.size(), 1u);
    Picture source(64, 48, 15, 5), destination(64, 48, 15, 3);
    // Gradients with faint noise: every filter changes them at its defaults
    // (full-range noise is beyond what NL-means' default strength touches).
    source.FillBlocks(3);
    Instance instance(module.Definition(), source, destination);
    ASSERT_EQ(instance.Init(), 0);
    EXPECT_EQ(instance.ScriptLine().rfind("Config(", 0), 0u);
    EXPECT_GT(instance.GetParams(), 0);
    instance.Start();
    bool changed = false;
    for (int frame = 0; frame < 5; ++frame) {
      destination.Fill(0x11);
      instance.Run();
      changed = changed || destination.RawBytes() != source.RawBytes();
      if (staging != Libraries::kAll) EXPECT_EQ(destination.RawBytes(), source.RawBytes()) << "frame " << frame;
      EXPECT_TRUE(destination.GuardsIntact());
    }
    if (staging == Libraries::kAll) EXPECT_TRUE(changed) << "filters with the DLLs from tarvudlls";
    instance.End();
    instance.Destroy();
    module.Deinit();
  }
  RemoveVectoredExceptionHandler(watcher);
  EXPECT_EQ(delayLoadFailures, 0);
}

}  // namespace
}  // namespace testhost

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  using testhost::Libraries;
  if (argc < 3) return 2;
  const std::string how = argv[1];
  testhost::staging = how == "none" ? Libraries::kNone : how == "no-avfilter" ? Libraries::kAllButAvfilter : Libraries::kAll;
  for (int i = 2; i < argc; ++i) testhost::modules.emplace_back(argv[i], argv[i] + std::strlen(argv[i]));
  return RUN_ALL_TESTS();
}
