#pragma once
// The ids of the Windows program's resources and controls, named by kind: IDD_ dialog templates,
// IDC_ controls, IDM_ menu commands, IDS_ strings, IDI_ icons. Read by the resource script and
// the C++ code alike, so the template and the code cannot disagree.

#define IDD_ABOUTBOX 100
#define IDD_MAIN_DIALOG 147
#define IDD_DRIVE_SELECTION 148

#define IDI_VOCELL_UTILITY 128

#define IDS_ABOUTBOX 101

#define IDM_ABOUTBOX 0x0010

#define IDC_UPDATE 1005
#define IDC_BACKUP 1014
#define IDC_RESTORE 1016
#define IDC_INITIALIZE 1017
#define IDC_DEVICE_LIST 1018
#define IDC_SELECT 1025
#define IDC_PROMPT_VERSION 1064
#define IDC_CARD_TYPE 1065
#define IDC_STATUS 1066
#define IDC_DEVICE 1067
#define IDC_STATUS_BAR 1068
#define IDC_PROGRESS_BAR 1068

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
