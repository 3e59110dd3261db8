// The whole engine: the engine object with the header of every part it
// owns, for the program's top level and for tests that reach into any part.
#pragma once

#include "audio/sound_state.h"
#include "core/engine.h"
#include "core/window_state.h"
#include "menus/list_state.h"
#include "render/surfaces.h"
#include "render/view_state.h"
#include "shell/author_tools.h"
