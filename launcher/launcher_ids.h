// Resource and control ids of the launcher dialog (shared by the resource script and the code).
#pragma once
#define IDD_SETTINGS 100
#define IDC_RESOLUTION 1001
#define IDC_DEPTH 1002
#define IDC_FULLSCREEN 1003
#define IDC_STATUS 1004
