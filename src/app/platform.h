#pragma once

// Where Wine and Windows behave differently for the saver, the choice is made
// once, at start, and handed down as a parameter, so that a test can take
// either path on either system.
enum class Platform { windows, wine };

// Wine's ntdll exports wine_get_version; Windows' has no such function.
Platform this_platform();
