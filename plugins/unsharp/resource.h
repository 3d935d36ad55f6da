// Identifiers shared by the dialog template and the dialog code.
#pragma once

#include "framework/dialog_ids.h"

#define IDD_UNSHARP_CONFIG 101
#define IDC_LUMA_X 1008
#define IDC_LUMA_STRENGTH 1009
#define IDC_LUMA_Y 1010
#define IDC_CHROMA_X 1011
#define IDC_VIEWMODE 1012
#define IDC_CHROMA_Y 1013
#define IDC_CHROMA_STRENGTH 1014
