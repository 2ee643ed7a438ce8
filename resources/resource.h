// Resource and control ids shared by the resource script and the code.
#pragma once

#define IDR_TREE_MENU 102
#define IDD_DISCLAIMER 104
#define IDD_VIEW 221

#define ID_MENU_ABOUT 40002
#define ID_MENU_CONFIG 40003

#define IDC_STATUS 1001
#define IDC_SEARCH 1006
#define IDC_CONFIG 1018
#define IDC_LIST 1031
