// What every plug-in's settings record provides to the framework.
//
// A record derives from TBaseFilterData and declares, in this order:
//   const char* filterName; int32_t pixelFormat; SinkFormatList sinkFormats;
//   its own int32_t fields;
//   int32_t viewMode; bool reinitPending;
// and provides:
//   void ResetToDefaults() override;               // own fields only (ResetOwnFields)
//   std::string OptionString(const AVFrame& in) const;  // clamped, in filter units
//   static constexpr auto ScriptFields();          // own fields in script order
//   static constexpr const char* kScriptSignature; // "0" + one 'i' per field
//   static constexpr bool kCarriesColourProperties;
// Copying, assigning back and destroying are the compiler's: the sink list
// is a vector, so a copy owns its own storage.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

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

// The one initialisation of a freshly allocated "filter1" context. An empty
// string still initialises it, with the filter's own defaults.
bool InitFilterOptions(AVFilterContext* filterCtx, const std::string& options);

// The option builder: does nothing while no change is pending; otherwise
// builds the string from the current settings, clears the flag (whatever
// libavfilter then answers) and initialises "filter1" with it.
template <typename Record>
bool ApplyFilterArgs(Record& record, AVFilterContext* filterCtx, const AVFrame* inFrame) {
  if (!record.reinitPending) return true;
  const std::string options = record.OptionString(*inFrame);
  record.reinitPending = false;
  return InitFilterOptions(filterCtx, options);
}

// Puts the record's own fields back to the defaults its declaration gives.
template <typename Record>
void ResetOwnFields(Record& record) {
  const Record defaults;
  for (auto field : Record::ScriptFields()) record.*field = defaults.*field;
}

template <typename Record>
constexpr std::size_t ScriptArgumentCount() {
  return Record::ScriptFields().size();
}

template <typename Record>
constexpr bool SignatureMatchesFields() {
  std::string_view signature = Record::kScriptSignature;
  if (signature.size() != ScriptArgumentCount<Record>() + 1 || signature[0] != '0') return false;
  for (char letter : signature.substr(1))
    if (letter != 'i') return false;
  return true;
}

}  // namespace tarvu
