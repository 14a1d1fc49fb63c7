// placeholder: replaced by the owner of app/
#include "app/application.h"
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return 0; }
