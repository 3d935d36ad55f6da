// What every plug-in's settings record provides to the framework.
//
// A record derives from TBaseFilterData and declares, in this order:
//   const char* filterName; int32_t pixelFormat; SinkFormatList sinkFormats;
//   its own fields (int32_t, or uint8_t for a one-byte flag);
//   int32_t viewMode; bool reinitPending;
// and provides:
//   void ResetToDefaults() override;                     // ResetOwnFields(*this)
//   std::string OptionString() const;                    // clamped, in filter units
//     (or OptionString(const AVFrame& in) when it depends on the input frame)
//   static constexpr auto ScriptFields();                // one ScriptField row per own field, in script order
//   static constexpr PluginTraits kTraits;               // how it differs from the framework's default
// Copying, assigning back and destroying are the compiler's: the sink list
// is a vector, so a copy owns its own storage.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "plugin_traits.h"

struct AVFilterContext;
struct AVFrame;

namespace tarvu {

using SinkFormatList = std::vector<int32_t>;

enum ViewMode : int32_t { kViewFull = 0, kViewDisabled = 1, kViewDifference = 2 };

struct TBaseFilterData {
  virtual void ResetToDefaults() = 0;
  virtual ~TBaseFilterData() = default;

 protected:
  TBaseFilterData() = default;
  TBaseFilterData(const TBaseFilterData&) = default;
  TBaseFilterData& operator=(const TBaseFilterData&) = default;
};

// One integer field of a record, whatever its width: settings are 32-bit,
// flags may be one byte.
template <typename Record>
class FieldRef {
 public:
  constexpr FieldRef(int32_t Record::*member) : wide_(member) {}
  constexpr FieldRef(uint8_t Record::*member) : narrow_(member) {}

  int32_t Get(const Record& record) const { return wide_ ? record.*wide_ : record.*narrow_; }
  void Set(Record& record, int32_t value) const {
    if (wide_)
      record.*wide_ = value;
    else
      record.*narrow_ = static_cast<uint8_t>(value);
  }

 private:
  int32_t Record::*wide_ = nullptr;
  uint8_t Record::*narrow_ = nullptr;
};

// How a script argument is stored, and written back into the script line.
struct ScriptStore {
  enum Kind { kRaw, kFlag, kChoice } kind = kRaw;
  int32_t choices = 0;    // kChoice: 0 .. choices - 1 are kept
  int32_t otherwise = 0;  // kChoice: what anything else becomes

  constexpr int32_t Map(int32_t value) const {
    switch (kind) {
      case kFlag: return value != 0 ? 1 : 0;
      case kChoice: return value >= 0 && value < choices ? value : otherwise;
      default: return value;
    }
  }
};

inline constexpr ScriptStore kStoreRaw{};
inline constexpr ScriptStore kStoreFlag{ScriptStore::kFlag};
constexpr ScriptStore StoreChoice(int32_t choices, int32_t otherwise) {
  return {ScriptStore::kChoice, choices, otherwise};
}

// One argument of the script function "Config" and of the script line.
template <typename Record>
struct ScriptField {
  FieldRef<Record> field;
  ScriptStore store = kStoreRaw;
};

template <typename Record>
constexpr std::size_t ScriptArgumentCount() {
  return Record::ScriptFields().size();
}

// "0" (no result), then one "i" per argument.
template <typename Record>
constexpr auto MakeScriptSignature() {
  std::array<char, ScriptArgumentCount<Record>() + 2> signature{};
  signature[0] = '0';
  for (std::size_t i = 1; i <= ScriptArgumentCount<Record>(); ++i) signature[i] = 'i';
  return signature;
}

template <typename Record>
inline constexpr auto kScriptSignature = MakeScriptSignature<Record>();

// The arguments of the record's script line, mapped as the handler stores them.
template <typename Record>
std::array<int32_t, ScriptArgumentCount<Record>()> ScriptValues(const Record& record) {
  std::array<int32_t, ScriptArgumentCount<Record>()> values{};
  constexpr auto fields = Record::ScriptFields();
  for (std::size_t i = 0; i < fields.size(); ++i) values[i] = fields[i].store.Map(fields[i].field.Get(record));
  return values;
}

// The body of the script function "Config", after the plug-in's short-call rule.
template <typename Record>
void StoreScriptArguments(Record& record, const int32_t* arguments) {
  constexpr auto fields = Record::ScriptFields();
  for (std::size_t i = 0; i < fields.size(); ++i) fields[i].field.Set(record, fields[i].store.Map(arguments[i]));
}

// The one initialisation of a freshly allocated "filter1" context. An empty
// string still initialises it, with the filter's own defaults.
bool InitFilterOptions(AVFilterContext* filterCtx, const std::string& options);

// The record's option string, from the input frame where the record needs it.
template <typename Record>
std::string OptionStringFor(const Record& record, const AVFrame& inFrame) {
  if constexpr (requires { record.OptionString(inFrame); })
    return record.OptionString(inFrame);
  else
    return record.OptionString();
}

// The option builder: does nothing while no change is pending; otherwise
// builds the string from the current settings, clears the flag (whatever
// libavfilter then answers) and initialises "filter1" with it.
template <typename Record>
bool ApplyFilterArgs(Record& record, AVFilterContext* filterCtx, const AVFrame* inFrame) {
  if (!record.reinitPending) return true;
  const std::string options = OptionStringFor(record, *inFrame);
  record.reinitPending = false;
  return InitFilterOptions(filterCtx, options);
}

// Puts the record's own fields back to the defaults its declaration gives.
template <typename Record>
void ResetOwnFields(Record& record) {
  const Record defaults;
  for (const auto& row : Record::ScriptFields()) row.field.Set(record, row.field.Get(defaults));
}

}  // namespace tarvu
