#include "saver/saver_host.h"

SaverHost* saver_host = nullptr;
