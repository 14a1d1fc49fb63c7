#pragma once
// Resource ids shared by the resource scripts and the code.

#define IDS_APP_NAME 1
#define IDS_VERSION 2001

// Settings dialog "SETUP"
#define IDC_OPTIONS 107
// Options dialog "REG_OPTIONS"
#define IDC_PASSWORD_BUTTON 126
#define IDC_HIDE_MOUSE 201
#define IDC_IGNORE_MOUSE 210
#define IDC_STAY_ON_TOP 212
#define IDC_TRUE_COLOUR_CYCLING 213
#define IDC_PREVIEW 214
#define IDC_MONITORS 215
// Wake-up dialog "PASSWORD"
#define IDC_PASSWORD_ENTRY 104
// Change-password dialog "SETUP_PASSWORD"
#define IDC_OLD_PASSWORD 123
#define IDC_NEW_PASSWORD 124
#define IDC_RETYPE_PASSWORD 125
#define IDC_PROTECTED 128
#define IDC_OLD_LABEL 129
#define IDC_NEW_LABEL 130
#define IDC_RETYPE_LABEL 131
