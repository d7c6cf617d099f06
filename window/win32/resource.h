// Resource and control identifiers of the Windows program.
#pragma once

// The icon in the resource script (app/wendelkamm.rc.in): "1 ICON".
#define IDI_WENDELKAMM 1

// The controls of frmGoldbach. None of them is IDOK (1) or IDCANCEL (2), which the dialog
// keyboard handling sends for Enter and Escape.
#define IDC_TEXT1 101
#define IDC_CMDSTART 102
#define IDC_CMDNOTBREMSE 103
