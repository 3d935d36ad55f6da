// Identifiers shared by the dialog template and the dialog code.
#pragma once

#include "framework/dialog_ids.h"

#define IDD_BWDIF_CONFIG 2
#define IDC_VIEWMODE 1014
#define IDC_OUTPUT_MODE 1015
#define IDC_FIELD_ORDER 1017
