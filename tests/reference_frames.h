// Cases and frames made by the FFmpeg command-line tool (make_reference.sh),
// and what a destination must hold after each preview mode.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace testhost {

struct ReferenceCase {
  std::string filter, name;
  int format = 0, width = 0, height = 0, destinationWidth = 0, destinationHeight = 0;
  std::vector<int32_t> arguments;
  std::string options;

  bool Is420() const { return !(format == 13 || format == 26 || format == 33 || format == 40); }
  std::string PixelFormatName() const { return Is420() ? "yuv420p" : "yuv444p"; }
};

inline std::string ReferenceDirectory() {
  const char* directory = std::getenv("TARVU_REFERENCE_DIR");
  if (!directory) throw std::runtime_error("TARVU_REFERENCE_DIR is not set");
  return directory;
}

inline std::vector<uint8_t> ReadBytes(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) throw std::runtime_error("cannot read " + path);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

inline std::vector<ReferenceCase> LoadReferenceCases(const std::string& filter) {
  std::ifstream file(ReferenceDirectory() + "/cases.txt");
  std::vector<ReferenceCase> cases;
  for (std::string line; std::getline(file, line);) {
    if (line.empty() || line[0] == '#') continue;
    std::vector<std::string> fields;
    std::stringstream row(line);
    for (std::string field; std::getline(row, field, '|');) fields.push_back(field);
    if (fields.size() != 9 || fields[0] != filter) continue;
    ReferenceCase c;
    c.filter = fields[0];
    c.name = fields[1];
    c.format = std::stoi(fields[2]);
    c.width = std::stoi(fields[3]);
    c.height = std::stoi(fields[4]);
    c.destinationWidth = std::stoi(fields[5]);
    c.destinationHeight = std::stoi(fields[6]);
    std::stringstream arguments(fields[7]);
    for (std::string value; std::getline(arguments, value, ',');) c.arguments.push_back(std::stoi(value));
    c.options = fields[8];
    cases.push_back(c);
  }
  return cases;
}

inline std::string SourceFile(const ReferenceCase& c) {
  return ReferenceDirectory() + "/src_" + c.filter + "_" + c.PixelFormatName() + "_" + std::to_string(c.width) + "x" +
         std::to_string(c.height) + ".yuv";
}
inline std::string FilteredFile(const ReferenceCase& c) {
  return ReferenceDirectory() + "/" + c.filter + "-" + c.name + ".ref.yuv";
}

// Planar frame geometry as libavutil lays out 8-bit YUV.
struct FrameShape {
  int width, height;
  bool is420;
  int PlaneWidth(int plane) const { return plane && is420 ? (width + 1) / 2 : width; }
  int PlaneHeight(int plane) const { return plane && is420 ? (height + 1) / 2 : height; }
  std::size_t PlaneOffset(int plane) const {
    std::size_t offset = 0;
    for (int p = 0; p < plane; ++p) offset += std::size_t(PlaneWidth(p)) * PlaneHeight(p);
    return offset;
  }
  std::size_t FrameBytes() const { return PlaneOffset(3); }
};

inline std::vector<std::vector<uint8_t>> SplitFrames(const std::vector<uint8_t>& bytes, const FrameShape& shape) {
  std::vector<std::vector<uint8_t>> frames;
  const std::size_t size = shape.FrameBytes();
  for (std::size_t offset = 0; offset + size <= bytes.size(); offset += size)
    frames.emplace_back(bytes.begin() + offset, bytes.begin() + offset + size);
  return frames;
}

enum class Mode { kFull = 0, kDisabled = 1, kDifference = 2 };

// The raw destination picture expected after one frame in a mode: the top
// left part of the source (or filtered, or difference) picture that fits.
inline std::vector<uint8_t> ExpectedDestination(Mode mode, const std::vector<uint8_t>& source,
                                                const std::vector<uint8_t>& filtered, const FrameShape& from,
                                                const FrameShape& to) {
  std::vector<uint8_t> expected;
  for (int plane = 0; plane < 3; ++plane)
    for (int y = 0; y < to.PlaneHeight(plane); ++y)
      for (int x = 0; x < to.PlaneWidth(plane); ++x) {
        const std::size_t at = from.PlaneOffset(plane) + std::size_t(y) * from.PlaneWidth(plane) + x;
        const uint8_t original = source[at], changed = filtered[at];
        switch (mode) {
          case Mode::kFull: expected.push_back(changed); break;
          case Mode::kDisabled: expected.push_back(original); break;
          case Mode::kDifference: expected.push_back(original == changed ? original : 0); break;
        }
      }
  return expected;
}

}  // namespace testhost
