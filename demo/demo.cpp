// Runs one plug-in module, as the host editor would, over a raw 4:2:0 clip,
// then opens its configuration dialog and takes a picture of it:
//   demo.exe <module> <width> <height> <in.yuv> <out.yuv> <dialog.bmp> [Config arguments...]
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

#include "testhost/dialog_driver.h"
#include "testhost/module_loader.h"

namespace {

std::wstring Wide(const std::string& text) { return std::wstring(text.begin(), text.end()); }

int Run(int argc, char** argv) {
  using namespace testhost;
  if (argc < 7) {
    std::cerr << "usage: demo <module> <width> <height> <in.yuv> <out.yuv> <dialog.bmp> [Config arguments...]\n";
    return 2;
  }
  const int width = std::atoi(argv[2]), height = std::atoi(argv[3]);
  std::ifstream in(argv[4], std::ios::binary);
  const std::vector<uint8_t> clip{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  std::vector<int32_t> arguments;
  for (int i = 7; i < argc; ++i) arguments.push_back(std::atoi(argv[i]));

  Module module(StageModule(Wide(argv[1])));
  if (module.Init() != 0) return 1;
  Picture source(width, height, 15), destination(width, height, 15);
  const std::size_t frameBytes = source.RawBytes().size();
  Instance instance(module.Definition(), source, destination);
  if (instance.Init() != 0) return 1;
  if (!arguments.empty()) instance.Script(arguments, static_cast<int32_t>(arguments.size()));
  std::cout << argv[1] << ": " << module.Definition().displayName << ", " << instance.ScriptLine() << "\n";
  const int32_t flags = instance.GetParams();
  if (flags < 0) return 1;
  // A filter that lags shows frame n at call n + lag: like a host, feed it
  // that much further (the last frame again) and keep what each frame shows.
  const int32_t lag = flags >> 16;
  instance.Start();
  std::ofstream out(argv[5], std::ios::binary);
  std::size_t frames = 0;
  for (std::size_t call = 0, offset = 0; offset + frameBytes <= clip.size() || call < frames + lag; ++call) {
    if (offset + frameBytes <= clip.size()) {
      source.SetRawBytes(std::vector<uint8_t>(clip.begin() + offset, clip.begin() + offset + frameBytes));
      offset += frameBytes;
      ++frames;
    }
    instance.Run();
    if (call < static_cast<std::size_t>(lag)) continue;
    const auto result = destination.RawBytes();
    out.write(reinterpret_cast<const char*>(result.data()), static_cast<std::streamsize>(result.size()));
  }
  instance.End();
  std::cout << "  filtered " << frames << " frames of " << width << "x" << height << "\n";

  bool saved = false;
  const std::wstring screenshot = Wide(argv[6]);
  RunDialog(instance, [&](DialogUser& user) {
    saved = user.SaveScreenshot(screenshot);
    user.Click(IDCANCEL);
  });
  instance.Destroy();
  if (!saved) {
    std::cerr << "demo: no picture of the dialog\n";
    return 1;
  }
  std::cout << "  dialog picture: " << argv[6] << "\n";
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    return Run(argc, argv);
  } catch (const std::exception& error) {
    std::cerr << "demo: " << error.what() << "\n";
    return 1;
  }
}
