// Resource ids of Pendrax: dialog templates, icons and controls.
#pragma once

#define IDD_STATUS_DIALOG        102
#define IDR_MAINFRAME            128
#define IDI_BULB_UNLIT           131
#define IDI_BULB_LIT             132
#define IDD_INIT_NOTICE          134
#define IDD_BUILD_RESTART        135

#define IDC_FLUSH_CACHE          1000
#define IDC_STATUS_LIST          1002
#define IDC_STATE_ICON           1005
#define IDC_STATUS_TEXT          1006
#define IDC_SHOW_IN_FUTURE       1007
#define IDC_COUNTDOWN            1010
