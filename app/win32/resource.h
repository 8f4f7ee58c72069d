/* Resource and control ids of the dialog, the about box and the system menu item. Plain
   preprocessor lines only: the resource script includes this file too. */
#pragma once

#define IDD_ABOUTBOX 100
#define IDS_ABOUTBOX 101
#define IDD_QUILLMERE_DIALOG 102
#define IDR_MAINFRAME 128

#define IDC_REFRESH 1000
#define IDC_STATUS 1001
#define IDC_OPEN_LOG 1002

/* System menu command ids keep their lowest four bits clear. */
#define IDM_ABOUTBOX 0x0010
