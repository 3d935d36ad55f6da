// Control identifiers that every dialog template shares with the dialog code.
// Plain defines: the resource compiler reads this file too.
#pragma once

#define IDC_PREVIEW 1001
