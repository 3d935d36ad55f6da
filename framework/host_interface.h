// The host editor's plug-in boundary: the records it lays out and the
// operation tables it hands over, written from their byte layouts.
// 64-bit little-endian; bytes not named here belong to the host.
#pragma once

#include <cstddef>
#include <cstdint>

#if defined(_WIN32)
#define TARVU_HOSTCALL __cdecl
#else
#define TARVU_HOSTCALL
#endif

namespace tarvu {

using WindowHandle = void*;  // an HWND, kept opaque outside the dialog code

struct HostActivation;
struct InstanceBlock;
struct ScriptObject;

// --- Operation tables -------------------------------------------------------

struct HostFunctionTable {
  void* (TARVU_HOSTCALL* registerDefinition)(void* hostModule, const struct FilterDefinition* definition,
                                             int32_t size);
  void(TARVU_HOSTCALL* removeDefinition)(void* handle);
};
static_assert(offsetof(HostFunctionTable, registerDefinition) == 0x00);
static_assert(offsetof(HostFunctionTable, removeDefinition) == 0x08);

// The host's preview window. Only the entries we call have names; the others
// hold their slots so that the table indices match the host's.
class HostPreview {
 public:
  virtual void Slot0() = 0;
  virtual void Slot1() = 0;
  virtual uint8_t IsShown() = 0;                     // entry 2: a byte, non-zero while shown
  virtual void Toggle(WindowHandle dialog) = 0;      // entry 3
  virtual void Slot4() = 0;
  virtual void Slot5() = 0;
  virtual void RedoFrame() = 0;                      // entry 6
  virtual void Slot7() = 0;
  virtual void AttachButton(WindowHandle button) = 0;  // entry 8
  virtual void Close() = 0;                          // entry 9

 protected:
  ~HostPreview() = default;
};

class HostPrefetcher {
 public:
  virtual void Slot0() = 0;
  virtual void Slot1() = 0;
  virtual void Slot2() = 0;
  virtual void PrefetchFrame(int32_t sourceIndex, int64_t frame, uint64_t cookie) = 0;  // entry 3

 protected:
  ~HostPrefetcher() = default;
};

// --- Frames -------------------------------------------------------------------

struct HostPixmapLayout {
  uint8_t reserved00[0x10];
  int32_t width;
  int32_t height;
  uint8_t reserved18[0x08];
  int32_t format;
  uint8_t reserved24[0x04];
};
static_assert(offsetof(HostPixmapLayout, width) == 0x10);
static_assert(offsetof(HostPixmapLayout, height) == 0x14);
static_assert(offsetof(HostPixmapLayout, format) == 0x20);

struct HostPixmap {
  void* data;
  uint8_t reserved08[0x10];
  int64_t pitch;
  int32_t format;
  uint8_t reserved24[0x04];
  void* data2;
  int64_t pitch2;
  void* data3;
  int64_t pitch3;
};
static_assert(offsetof(HostPixmap, data) == 0x00);
static_assert(offsetof(HostPixmap, pitch) == 0x18);
static_assert(offsetof(HostPixmap, format) == 0x20);
static_assert(offsetof(HostPixmap, data2) == 0x28);
static_assert(offsetof(HostPixmap, pitch2) == 0x30);
static_assert(offsetof(HostPixmap, data3) == 0x38);
static_assert(offsetof(HostPixmap, pitch3) == 0x40);

struct HostBitmap {
  uint8_t reserved00[0x40];
  uint64_t frameAttributes;
  uint8_t reserved48[0x20];
  HostPixmapLayout* layout;
  HostPixmap* pixmap;
};
static_assert(offsetof(HostBitmap, frameAttributes) == 0x40);
static_assert(offsetof(HostBitmap, layout) == 0x68);
static_assert(offsetof(HostBitmap, pixmap) == 0x70);

// --- Instances ------------------------------------------------------------------

struct HostActivation {
  void* reserved00;
  InstanceBlock* instanceBlock;
  HostBitmap* destination;
  HostBitmap* source;
  uint8_t reserved20[0x28];
  HostPreview* preview;
  uint8_t reserved50[0x20];
  uint64_t acceleratorContext;
};
static_assert(offsetof(HostActivation, instanceBlock) == 0x08);
static_assert(offsetof(HostActivation, destination) == 0x10);
static_assert(offsetof(HostActivation, source) == 0x18);
static_assert(offsetof(HostActivation, preview) == 0x48);
static_assert(offsetof(HostActivation, acceleratorContext) == 0x70);

// Host-allocated per instance: a pointer to the filter object, then the object.
struct InstanceBlock {
  void* filterObject;
};
inline constexpr std::size_t kFilterObjectOffset = sizeof(InstanceBlock);
static_assert(kFilterObjectOffset == 0x08);

// --- Script language ------------------------------------------------------------

struct ScriptInterpreter;  // opaque

struct ScriptValue {
  uint8_t reserved00[0x10];
  int32_t intValue;
  uint8_t reserved14[0x04];
};
static_assert(sizeof(ScriptValue) == 24);
static_assert(offsetof(ScriptValue, intValue) == 0x10);

using ScriptHandler = void(TARVU_HOSTCALL*)(ScriptInterpreter* interpreter, void* activation,
                                            const ScriptValue* arguments, int32_t count);

struct ScriptFunctionEntry {
  ScriptHandler handler;
  const char* functionName;
  const char* signature;
};
static_assert(sizeof(ScriptFunctionEntry) == 24);
static_assert(offsetof(ScriptFunctionEntry, functionName) == 0x08);
static_assert(offsetof(ScriptFunctionEntry, signature) == 0x10);

struct ScriptObject {
  void* reserved00;
  const ScriptFunctionEntry* functionTable;
  void* reserved10;
  void* reserved18;
};
static_assert(sizeof(ScriptObject) == 32);
static_assert(offsetof(ScriptObject, functionTable) == 0x08);

// --- The filter definition --------------------------------------------------------

using HostServices = const void*;

struct FilterDefinition {
  void* reserved00;
  void* reserved08;
  void* reserved10;
  const char* displayName;
  const char* description;
  const char* maker;
  void* privateData;
  uint32_t instanceDataSize;
  uint32_t alignment3C;
  int(TARVU_HOSTCALL* initInstance)(HostActivation*, HostServices);
  void(TARVU_HOSTCALL* destroyInstance)(HostActivation*, HostServices);
  int(TARVU_HOSTCALL* runFrame)(const HostActivation*, HostServices);
  int32_t(TARVU_HOSTCALL* getParams)(HostActivation*, HostServices);
  int(TARVU_HOSTCALL* configure)(HostActivation*, HostServices, WindowHandle parent);
  void(TARVU_HOSTCALL* legacyString)(const HostActivation*, HostServices, char* buffer);
  int(TARVU_HOSTCALL* start)(HostActivation*, HostServices);
  int(TARVU_HOSTCALL* end)(HostActivation*, HostServices);
  ScriptObject* scriptObject;
  bool(TARVU_HOSTCALL* scriptLine)(HostActivation*, HostServices, char* buffer, int32_t length);
  void(TARVU_HOSTCALL* settingsString)(const HostActivation*, HostServices, char* buffer, int32_t maxLength);
  int32_t(TARVU_HOSTCALL* saveState)(HostActivation*, HostServices, void* buffer, int32_t length);
  int32_t(TARVU_HOSTCALL* loadState)(HostActivation*, HostServices, const void* buffer, int32_t length);
  void(TARVU_HOSTCALL* copyInstance)(HostActivation*, HostServices, void* destinationBlock);
  void* reservedB0;
  void(TARVU_HOSTCALL* copyInstanceEx)(const HostActivation* source, HostServices sourceServices,
                                       void* destinationBlock, HostActivation* newActivation,
                                       HostServices newServices);
  void* reservedC0;
  bool(TARVU_HOSTCALL* event)(HostActivation*, HostServices, uint32_t eventCode, const void* data);
  bool(TARVU_HOSTCALL* accelRun)(const HostActivation*, HostServices);
  void* reservedD8;
};
static_assert(sizeof(FilterDefinition) == 224);
static_assert(offsetof(FilterDefinition, displayName) == 0x18);
static_assert(offsetof(FilterDefinition, description) == 0x20);
static_assert(offsetof(FilterDefinition, maker) == 0x28);
static_assert(offsetof(FilterDefinition, privateData) == 0x30);
static_assert(offsetof(FilterDefinition, instanceDataSize) == 0x38);
static_assert(offsetof(FilterDefinition, initInstance) == 0x40);
static_assert(offsetof(FilterDefinition, destroyInstance) == 0x48);
static_assert(offsetof(FilterDefinition, runFrame) == 0x50);
static_assert(offsetof(FilterDefinition, getParams) == 0x58);
static_assert(offsetof(FilterDefinition, configure) == 0x60);
static_assert(offsetof(FilterDefinition, legacyString) == 0x68);
static_assert(offsetof(FilterDefinition, start) == 0x70);
static_assert(offsetof(FilterDefinition, end) == 0x78);
static_assert(offsetof(FilterDefinition, scriptObject) == 0x80);
static_assert(offsetof(FilterDefinition, scriptLine) == 0x88);
static_assert(offsetof(FilterDefinition, settingsString) == 0x90);
static_assert(offsetof(FilterDefinition, saveState) == 0x98);
static_assert(offsetof(FilterDefinition, loadState) == 0xA0);
static_assert(offsetof(FilterDefinition, copyInstance) == 0xA8);
static_assert(offsetof(FilterDefinition, reservedB0) == 0xB0);
static_assert(offsetof(FilterDefinition, copyInstanceEx) == 0xB8);
static_assert(offsetof(FilterDefinition, reservedC0) == 0xC0);
static_assert(offsetof(FilterDefinition, event) == 0xC8);
static_assert(offsetof(FilterDefinition, accelRun) == 0xD0);
static_assert(offsetof(FilterDefinition, reservedD8) == 0xD8);

// Module exports.
using ModuleInitFunction = int(TARVU_HOSTCALL*)(void* hostModule, const HostFunctionTable* functions,
                                                int32_t* versionOut, int32_t* compatVersionOut);
using ModuleDeinitFunction = void(TARVU_HOSTCALL*)(void* hostModule, const HostFunctionTable* functions);

inline constexpr int32_t kFilterApiVersion = 16;
inline constexpr int32_t kFilterApiCompatVersion = 9;
inline constexpr int32_t kRunFlagsAccepted = 0x15;
inline constexpr int32_t kFormatRefused = -1;

}  // namespace tarvu
