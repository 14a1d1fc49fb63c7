// placeholder: replaced by the owner of the password and dialogs
#include "savewin/password.h"
#include "savewin/saver_window.h"
const char password_key[] = "placeholder";
String stored_password() { return String(); }
INT_PTR show_change_password_dialog(HWND) { return 0; }
void SaverWindow::ask_password() {}
