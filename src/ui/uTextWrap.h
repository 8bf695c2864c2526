// Text laid out in lines no wider than a width, for panels that must stay on
// the screen whatever text they are given (a hint from a file or a shared
// level, a message naming a long path).
#pragma once

#include <string>
#include <vector>

#include "engine/engine.h"

// The lines of `text` as drawn in `font`: each line of the text ('\n' ends
// one) broken at spaces so that no line is wider than `width`; a word wider
// than that on its own is broken between its characters.
std::vector<std::string> WrapText(zglPFont font, const std::string& text, float width);
