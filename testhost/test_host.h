// A small stand-in for the host editor: the records it lays out and the
// calls it makes into a filter definition. Plain C++, so the same host
// drives a loaded module under Wine and a natively linked one.
#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "framework/host_interface.h"

namespace testhost {

using namespace tarvu;

// One host frame: bitmap, layout and pixmap records plus its own planes,
// with guard bytes around every plane and in every row's padding.
class Picture {
 public:
  static constexpr int kGuard = 64;
  static constexpr uint8_t kGuardByte = 0xA5;

  // padding: extra bytes per row beyond the plane width; bottomUp: negative pitches.
  Picture(int width, int height, int format, int padding = 0, bool bottomUp = false);
  Picture(const Picture&) = delete;
  Picture& operator=(const Picture&) = delete;

  int Width() const { return layout.width; }
  int Height() const { return layout.height; }
  int Format() const { return layout.format; }
  bool Is420() const;
  int PlaneWidth(int plane) const;   // 4:2:0 chroma: rounded-up half
  int PlaneHeight(int plane) const;
  uint8_t* Row(int plane, int y);
  const uint8_t* Row(int plane, int y) const;

  void Fill(uint8_t value);
  void FillPattern(uint32_t seed);                       // pseudo-random bytes
  void FillBlocks(uint32_t seed, int blockSize = 8);     // blocky content that deblocking changes
  std::vector<uint8_t> PlaneBytes(int plane) const;      // rows packed tightly
  void SetPlaneBytes(int plane, const std::vector<uint8_t>& bytes);
  // The whole picture as raw planar bytes (Y, U, V), as ffmpeg's rawvideo has it.
  std::vector<uint8_t> RawBytes() const;
  void SetRawBytes(const std::vector<uint8_t>& bytes);
  bool GuardsIntact() const;  // nothing outside the picture's own rows was written

  HostBitmap bitmap{};
  HostPixmapLayout layout{};
  HostPixmap pixmap{};

 private:
  struct PlaneStore {
    std::vector<uint8_t> memory;
    std::size_t firstRowOffset = 0;
    int64_t pitch = 0;
    int width = 0;
    int height = 0;
  };
  PlaneStore planes_[3];
};

class RecordingPreview : public HostPreview {
 public:
  void Slot0() override {}
  void Slot1() override {}
  uint8_t IsShown() override;
  void Toggle(WindowHandle dialog) override;
  void Slot4() override {}
  void Slot5() override {}
  void RedoFrame() override;
  void Slot7() override {}
  void AttachButton(WindowHandle button) override;
  void Close() override;

  bool shown = false;
  uint8_t shownByte = 1;  // what IsShown answers while shown: any non-zero byte
  std::vector<std::string> calls;   // "IsShown", "Toggle", "RedoFrame", "AttachButton", "Close"
  int Count(const std::string& call) const;
  WindowHandle toggledWith = nullptr;
  WindowHandle attachedButton = nullptr;
  std::function<void()> onRedoFrame;  // e.g. render the current frame through the instance
};

class RecordingPrefetcher : public HostPrefetcher {
 public:
  struct Call {
    int32_t sourceIndex;
    int64_t frame;
    uint64_t cookie;
  };
  void Slot0() override {}
  void Slot1() override {}
  void Slot2() override {}
  void PrefetchFrame(int32_t sourceIndex, int64_t frame, uint64_t cookie) override;
  std::vector<Call> calls;
};

// One filter instance: its zero-filled InstanceBlock of the declared size
// and its activation record, as the host keeps them.
class Instance {
 public:
  Instance(const FilterDefinition& definition, Picture& source, Picture& destination);
  ~Instance();  // destroys the object if it is still alive
  Instance(const Instance&) = delete;
  Instance& operator=(const Instance&) = delete;

  int Init();
  void Destroy();
  int32_t GetParams();
  int Start();
  int Run();
  int End();
  int Configure(WindowHandle parent);
  bool ScriptLine(char* buffer, int32_t length);
  std::string ScriptLine();             // with a roomy buffer
  void LegacyString(char* buffer);
  void SettingsString(char* buffer, int32_t maxLength);
  int32_t SaveState(void* buffer, int32_t length);
  int32_t LoadState(const void* buffer, int32_t length);
  bool Event(uint32_t eventCode, const void* data = nullptr);
  bool AccelRun();
  // Runs the module's script function "Config" with these integers.
  void Script(std::initializer_list<int32_t> arguments);
  void Script(const std::vector<int32_t>& arguments, int32_t count);
  std::unique_ptr<Instance> Copy();    // copyInstance
  std::unique_ptr<Instance> CopyEx();  // copyInstanceEx, with a new activation record
  void SetPictures(Picture& source, Picture& destination);

  void* FilterObject() const { return block()->filterObject; }
  void* BlockStart() const { return storage_.data(); }
  const FilterDefinition& Definition() const { return definition_; }

  HostActivation activation{};
  RecordingPreview preview;
  HostServices services;

 private:
  Instance(const FilterDefinition& definition, const HostActivation& like);  // a copy's fresh storage
  InstanceBlock* block() const { return reinterpret_cast<InstanceBlock*>(storage_.data()); }
  const FilterDefinition& definition_;
  mutable std::vector<uint8_t> storage_;
  bool alive_ = false;
};

}  // namespace testhost
