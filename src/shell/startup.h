// Start-up, the window's own events and the orderly shutdown.
#pragma once

#include <cstdint>

namespace yw {

class Engine;

// The start-up sequence before the main loop: notes a key still held from
// launching the program, seeds the random generator, makes the program
// folder current and holds the keys until they are released.
void FormLoad(Engine& e, uint32_t seed);
// Gives Frontbuf the screen size and centres it in the window.
void FormResize(Engine& e);
// A typed character: stored in Key2 during text input, ignored otherwise.
void FrontbufKeyPress(Engine& e, uint8_t code);
// Restores the display mode, silences all sound and ends the program.
void Shutdown(Engine& e);

}  // namespace yw
