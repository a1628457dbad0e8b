/* Resource ids of install: the wizard dialog (template 102), its controls,
   and the program's icon. Included by the resource script and by the code,
   so it holds preprocessor definitions only. */
#pragma once

#define IDD_INSTALL_DIALOG 102
#define IDR_MAINFRAME 132

#define IDC_PORT_GROUP 1004
#define IDC_USB 1005
#define IDC_OTHER 1006
#define IDC_STEP1 1009
#define IDC_STEP2 1010
#define IDC_STEP3 1011
#define IDC_STEP4 1012
#define IDC_NEXT 1013
#define IDC_STEP5 1014
#define IDC_STEP6 1015
#define IDC_STEP7 1016
