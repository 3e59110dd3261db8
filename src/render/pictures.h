// Finding picture files and loading them into the window's surfaces.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace yw {

class Engine;
class Surface;

// The path of the picture named `pic`: the game's folder first, then the
// program folder; without an extension .bmp, .jpg, .jpeg, then .png. Empty
// when none exists. Letter case of the name does not matter.
std::filesystem::path FindPic(Engine& e, std::string_view pic);

// Loads a picture into a surface, stretched by Zoom when Zoom is not 1.
// A picture that is not found (or cannot be read) leaves an empty surface;
// one that exists but cannot be decoded is named on stderr once.
void LoadPicture(Engine& e, std::string_view pic, Surface& into);

// 0 everything, 1 the four map surfaces, 2 the four interface surfaces.
void LoadPix(Engine& e, int16_t what);

// After the interface pictures were loaded: why one of them cannot be used
// (Can't find "font.bmp", Can't read "<path>"), or empty when all can.
// Without them no text, frame or pointer could be drawn.
std::string InterfacePictureProblem(Engine& e);

}  // namespace yw
