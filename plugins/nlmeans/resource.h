// Identifiers shared by the dialog template and the dialog code.
#pragma once

#include "framework/dialog_ids.h"

#define IDD_NLMEANS_CONFIG 101
#define IDC_AUTO_CHROMA 1003
#define IDC_PATCH_SIZE 1007
#define IDC_STRENGTH 1008
#define IDC_RESEARCH_SIZE 1009
#define IDC_CHROMA_PATCH_SIZE 1011
#define IDC_VIEWMODE 1012
#define IDC_CHROMA_RESEARCH_SIZE 1013
#define IDC_CHROMA_PATCH_LABEL 1014
#define IDC_CHROMA_RESEARCH_LABEL 1015
