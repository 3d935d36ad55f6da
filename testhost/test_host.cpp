#include "test_host.h"

#include <algorithm>
#include <stdexcept>

namespace testhost {
namespace {

}  // namespace

// --- Picture ---------------------------------------------------------------------

Picture::Picture(int width, int height, int format, int padding, bool bottomUp) {
  layout.width = width;
  layout.height = height;
  layout.format = format;
  pixmap.format = format;
  bitmap.layout = &layout;
  bitmap.pixmap = &pixmap;
  bitmap.frameAttributes = 0x0123456789ABCDEFull ^ static_cast<uint64_t>(format);
  for (int plane = 0; plane < 3; ++plane) {
    PlaneStore& store = planes_[plane];
    store.width = PlaneWidth(plane);
    store.height = PlaneHeight(plane);
    const int64_t rowBytes = std::max(store.width, 0) + padding;
    const int rows = std::max(store.height, 0);
    store.memory.assign(static_cast<std::size_t>(rowBytes * rows + 2 * kGuard), kGuardByte);
    store.pitch = bottomUp ? -rowBytes : rowBytes;
    store.firstRowOffset = kGuard + (bottomUp && rows > 0 ? static_cast<std::size_t>(rowBytes * (rows - 1)) : 0);
    // Everything inside the picture starts at 0; padding keeps the guard byte.
    for (int y = 0; y < rows; ++y) std::fill_n(Row(plane, y), std::max(store.width, 0), uint8_t{0});
  }
  pixmap.data = planes_[0].memory.data() + planes_[0].firstRowOffset;
  pixmap.pitch = planes_[0].pitch;
  pixmap.data2 = planes_[1].memory.data() + planes_[1].firstRowOffset;
  pixmap.pitch2 = planes_[1].pitch;
  pixmap.data3 = planes_[2].memory.data() + planes_[2].firstRowOffset;
  pixmap.pitch3 = planes_[2].pitch;
}

bool Picture::Is420() const { return layout.format == 15 || layout.format == 28 || layout.format == 35 || layout.format == 42; }

int Picture::PlaneWidth(int plane) const { return plane > 0 && Is420() ? (layout.width + 1) / 2 : layout.width; }
int Picture::PlaneHeight(int plane) const { return plane > 0 && Is420() ? (layout.height + 1) / 2 : layout.height; }

uint8_t* Picture::Row(int plane, int y) {
  PlaneStore& store = planes_[plane];
  return store.memory.data() + store.firstRowOffset + static_cast<int64_t>(y) * store.pitch;
}
const uint8_t* Picture::Row(int plane, int y) const { return const_cast<Picture*>(this)->Row(plane, y); }

void Picture::Fill(uint8_t value) {
  for (int plane = 0; plane < 3; ++plane)
    for (int y = 0; y < PlaneHeight(plane); ++y) std::fill_n(Row(plane, y), PlaneWidth(plane), value);
}

void Picture::FillPattern(uint32_t seed) {
  uint32_t state = seed * 2654435761u + 1;
  for (int plane = 0; plane < 3; ++plane)
    for (int y = 0; y < PlaneHeight(plane); ++y)
      for (int x = 0; x < PlaneWidth(plane); ++x) {
        state = state * 1664525u + 1013904223u;
        Row(plane, y)[x] = static_cast<uint8_t>(state >> 24);
      }
}

void Picture::FillBlocks(uint32_t seed, int blockSize) {
  uint32_t state = seed * 2654435761u + 7;
  auto next = [&] { return state = state * 1664525u + 1013904223u; };
  for (int plane = 0; plane < 3; ++plane) {
    const int size = plane > 0 && Is420() ? std::max(blockSize / 2, 1) : blockSize;
    for (int y = 0; y < PlaneHeight(plane); ++y)
      for (int x = 0; x < PlaneWidth(plane); ++x) {
        // Smooth gradient plus a small step per block: the artefact deblocking smooths.
        const int base = 60 + (x * 3 + y * 2) % 120;
        const uint32_t blockSeed = static_cast<uint32_t>((x / size) * 7919 + (y / size) * 104729) ^ seed;
        const int step = static_cast<int>((blockSeed * 2654435761u) >> 28) - 8;
        Row(plane, y)[x] = static_cast<uint8_t>(std::clamp(base + step + static_cast<int>(next() >> 30), 0, 255));
      }
  }
}

std::vector<uint8_t> Picture::PlaneBytes(int plane) const {
  std::vector<uint8_t> bytes;
  for (int y = 0; y < PlaneHeight(plane); ++y) bytes.insert(bytes.end(), Row(plane, y), Row(plane, y) + PlaneWidth(plane));
  return bytes;
}

void Picture::SetPlaneBytes(int plane, const std::vector<uint8_t>& bytes) {
  const int width = PlaneWidth(plane);
  if (bytes.size() != static_cast<std::size_t>(width) * PlaneHeight(plane)) throw std::runtime_error("plane size");
  for (int y = 0; y < PlaneHeight(plane); ++y) std::copy_n(bytes.data() + static_cast<std::size_t>(y) * width, width, Row(plane, y));
}

std::vector<uint8_t> Picture::RawBytes() const {
  std::vector<uint8_t> bytes;
  for (int plane = 0; plane < 3; ++plane) {
    const auto part = PlaneBytes(plane);
    bytes.insert(bytes.end(), part.begin(), part.end());
  }
  return bytes;
}

void Picture::SetRawBytes(const std::vector<uint8_t>& bytes) {
  std::size_t offset = 0;
  for (int plane = 0; plane < 3; ++plane) {
    const std::size_t size = static_cast<std::size_t>(PlaneWidth(plane)) * PlaneHeight(plane);
    if (offset + size > bytes.size()) throw std::runtime_error("raw picture too short");
    SetPlaneBytes(plane, std::vector<uint8_t>(bytes.begin() + offset, bytes.begin() + offset + size));
    offset += size;
  }
}

bool Picture::GuardsIntact() const {
  for (int plane = 0; plane < 3; ++plane) {
    const PlaneStore& store = planes_[plane];
    std::vector<bool> inside(store.memory.size(), false);
    for (int y = 0; y < std::max(store.height, 0); ++y) {
      const std::size_t start = Row(plane, y) - store.memory.data();
      std::fill_n(inside.begin() + start, std::max(store.width, 0), true);
    }
    for (std::size_t i = 0; i < store.memory.size(); ++i)
      if (!inside[i] && store.memory[i] != kGuardByte) return false;
  }
  return true;
}

// --- Preview and prefetcher --------------------------------------------------------

uint8_t RecordingPreview::IsShown() {
  calls.push_back("IsShown");
  return shown ? shownByte : 0;
}
void RecordingPreview::Toggle(WindowHandle dialog) {
  calls.push_back("Toggle");
  toggledWith = dialog;
  shown = !shown;
}
void RecordingPreview::RedoFrame() {
  calls.push_back("RedoFrame");
  if (onRedoFrame) onRedoFrame();
}
void RecordingPreview::AttachButton(WindowHandle button) {
  calls.push_back("AttachButton");
  attachedButton = button;
}
void RecordingPreview::Close() {
  calls.push_back("Close");
  shown = false;
}
int RecordingPreview::Count(const std::string& call) const {
  return static_cast<int>(std::count(calls.begin(), calls.end(), call));
}

void RecordingPrefetcher::PrefetchFrame(int32_t sourceIndex, int64_t frame, uint64_t cookie) {
  calls.push_back({sourceIndex, frame, cookie});
}

// --- Instance ----------------------------------------------------------------------

Instance::Instance(const FilterDefinition& definition, Picture& source, Picture& destination)
    : services(reinterpret_cast<HostServices>(this)), definition_(definition) {
  // The host hands out zero-filled storage of the declared size.
  storage_.assign(Definition().instanceDataSize, 0);
  activation.instanceBlock = block();
  activation.preview = &preview;
  SetPictures(source, destination);
}

Instance::~Instance() {
  if (alive_) Destroy();
}

void Instance::SetPictures(Picture& source, Picture& destination) {
  activation.source = &source.bitmap;
  activation.destination = &destination.bitmap;
}

int Instance::Init() {
  const int result = Definition().initInstance(&activation, services);
  alive_ = result == 0;
  return result;
}

void Instance::Destroy() {
  Definition().destroyInstance(&activation, services);
  alive_ = false;
}

int32_t Instance::GetParams() { return Definition().getParams(&activation, services); }
int Instance::Start() { return Definition().start(&activation, services); }
int Instance::Run() { return Definition().runFrame(&activation, services); }
int Instance::End() { return Definition().end(&activation, services); }
int Instance::Configure(WindowHandle parent) { return Definition().configure(&activation, services, parent); }

bool Instance::ScriptLine(char* buffer, int32_t length) {
  return Definition().scriptLine(&activation, services, buffer, length);
}

std::string Instance::ScriptLine() {
  char buffer[512] = {};
  ScriptLine(buffer, sizeof buffer);
  return buffer;
}

void Instance::LegacyString(char* buffer) { Definition().legacyString(&activation, services, buffer); }
void Instance::SettingsString(char* buffer, int32_t maxLength) {
  Definition().settingsString(&activation, services, buffer, maxLength);
}
int32_t Instance::SaveState(void* buffer, int32_t length) {
  return Definition().saveState(&activation, services, buffer, length);
}
int32_t Instance::LoadState(const void* buffer, int32_t length) {
  return Definition().loadState(&activation, services, buffer, length);
}
bool Instance::Event(uint32_t eventCode, const void* data) {
  return Definition().event(&activation, services, eventCode, data);
}
bool Instance::AccelRun() { return Definition().accelRun(&activation, services); }

void Instance::Script(std::initializer_list<int32_t> arguments) {
  Script(std::vector<int32_t>(arguments), static_cast<int32_t>(arguments.size()));
}

void Instance::Script(const std::vector<int32_t>& arguments, int32_t count) {
  std::vector<ScriptValue> values(std::max<std::size_t>(arguments.size(), 1));
  for (std::size_t i = 0; i < arguments.size(); ++i) values[i].intValue = arguments[i];
  const ScriptFunctionEntry& row = Definition().scriptObject->functionTable[0];
  row.handler(reinterpret_cast<ScriptInterpreter*>(this), &activation, values.data(), count);
}

Instance::Instance(const FilterDefinition& definition, const HostActivation& like)
    : services(reinterpret_cast<HostServices>(this)), definition_(definition) {
  storage_.assign(Definition().instanceDataSize, 0);
  activation.instanceBlock = block();
  activation.preview = &preview;
  activation.source = like.source;
  activation.destination = like.destination;
}

std::unique_ptr<Instance> Instance::Copy() {
  std::unique_ptr<Instance> copy(new Instance(definition_, activation));
  Definition().copyInstance(&activation, copy->services, copy->BlockStart());
  copy->alive_ = copy->FilterObject() != nullptr;
  return copy;
}

std::unique_ptr<Instance> Instance::CopyEx() {
  std::unique_ptr<Instance> copy(new Instance(definition_, activation));
  Definition().copyInstanceEx(&activation, services, copy->BlockStart(), &copy->activation, copy->services);
  copy->alive_ = copy->FilterObject() != nullptr;
  return copy;
}

}  // namespace testhost
