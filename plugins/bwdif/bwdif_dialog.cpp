#include "bwdif.h"

#include "framework/dialog_base.h"
#include "resource.h"

namespace tarvu {
namespace {

using Record = TMyFilterData_BwDif;

constexpr const wchar_t* kOutputItems[] = {L"Frame", L"Field"};
constexpr int32_t kOutputValues[] = {0, 1};
constexpr const wchar_t* kFieldOrderItems[] = {L"auto", L"tff", L"bff"};
constexpr int32_t kFieldOrderValues[] = {-1, 0, 1};

// A value a script stored outside the lists opens with no item selected and
// stays until the user picks one.
constexpr ListBinding<Record> kLists[] = {
    {IDC_OUTPUT_MODE, &Record::mode, kOutputItems, kOutputValues, -1, 0},
    {IDC_FIELD_ORDER, &Record::parity, kFieldOrderItems, kFieldOrderValues, -1, -1},
};

}  // namespace

template <>
inline constexpr DialogLayout<Record> kDialogLayout<Record> = {
    .resourceId = IDD_BWDIF_CONFIG,
    .viewModeId = IDC_VIEWMODE,
    .redrawReappliesOptions = false,
    .scrollResult = FALSE,
    .trackbars = {},
    .lists = kLists,
};

template intptr_t RunConfigDialog(Record&, HostPreview*, WindowHandle);

}  // namespace tarvu
