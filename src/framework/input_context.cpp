#include "framework/input_context.h"

#include <imm.h>

void remove_input_context(HWND window) {
    if (window) ImmAssociateContext(window, nullptr);
}
