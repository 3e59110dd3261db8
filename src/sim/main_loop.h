// The main loop's old place, still named by the web entry point: the loop
// itself is in shell/main_loop.h, the pieces of a turn in sim/turn.h.
#pragma once

#include "shell/main_loop.h"
#include "sim/turn.h"
