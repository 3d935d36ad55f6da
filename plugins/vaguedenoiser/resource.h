// Identifiers shared by the dialog template and the dialog code.
#pragma once

#include "framework/dialog_ids.h"

#define IDD_VAGUEDENOISER_CONFIG 2
#define IDC_THRESHOLD 1008
#define IDC_PERCENT 1009
#define IDC_NSTEPS 1010
#define IDC_VIEWMODE 1014
#define IDC_METHOD 1015
#define IDC_TYPE 1017
