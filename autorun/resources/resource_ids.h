// Numeric resource ids shared by the resource scripts and the code.
#pragma once

#define IDI_AUTORUN 1000
#define IDD_ABOUT 2000
#define IDC_ABOUT_TITLE 2001
#define IDC_ABOUT_TEXT 2002
#define IDC_ABOUT_COPYRIGHT 2003
#define IDC_ABOUT_PUBLISHER 2004
#define IDS_LANGUAGE 3000
#define IDS_ABOUT 3001
#define IDS_COPYRIGHT 3002
#define IDS_CLOSE 3003
#define IDS_BACK 3004
#define IDS_PRESS 3005
