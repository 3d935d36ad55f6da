#include "vaguedenoiser.h"

#include "framework/dialog_base.h"
#include "resource.h"

namespace tarvu {
namespace {

using Record = TMyFilterData_VagueDenoiser;

constexpr TrackbarBinding<Record> kTrackbars[] = {
    {IDC_THRESHOLD, &Record::threshold, 1, 100},
    {IDC_NSTEPS, &Record::nsteps, 1, 32},
    {IDC_PERCENT, &Record::percent, 0, 100},
};

constexpr const wchar_t* kMethodItems[] = {L"Hard", L"Soft", L"Garotte"};
constexpr int32_t kMethodValues[] = {0, 1, 2};
constexpr const wchar_t* kTypeItems[] = {L"Universal", L"Bayes"};
constexpr int32_t kTypeValues[] = {0, 1};

constexpr ListBinding<Record> kLists[] = {
    {IDC_METHOD, &Record::method, kMethodItems, kMethodValues, -1, 2},
    {IDC_TYPE, &Record::type, kTypeItems, kTypeValues, -1, 1},
};

}  // namespace

template <>
inline constexpr DialogLayout<Record> kDialogLayout<Record> = {
    .resourceId = IDD_VAGUEDENOISER_CONFIG,
    .viewModeId = IDC_VIEWMODE,
    .redrawReappliesOptions = false,
    .scrollResult = TRUE,
    .trackbars = kTrackbars,
    .lists = kLists,
};

template intptr_t RunConfigDialog(Record&, HostPreview*, WindowHandle);

}  // namespace tarvu
