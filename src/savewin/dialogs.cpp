// placeholder: replaced by the owner of the dialogs
#include "savewin/dialogs.h"
INT_PTR show_settings_dialog(HWND) { return 0; }
INT_PTR show_options_dialog(HWND) { return 0; }
