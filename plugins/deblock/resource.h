// Identifiers shared by the dialog template and the dialog code.
#pragma once

#include "framework/dialog_ids.h"

#define IDD_DEBLOCK_CONFIG 101
#define IDC_STRONG_DEBLOCK 1002
#define IDC_LUMA_ONLY 1003
#define IDC_BLOCK_SIZE 1007
#define IDC_ALPHA 1008
#define IDC_GAMMA 1009
#define IDC_BETA 1010
#define IDC_DELTA 1011
#define IDC_VIEWMODE 1012
