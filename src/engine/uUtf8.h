// Text that must be valid UTF-8 before it is shown or written as JSON: file
// names from old archives, hints typed or edited outside the game.
#pragma once

#include <string>
#include <string_view>

// `text` with every byte that does not belong to a well-formed UTF-8
// sequence replaced by U+FFFD. Valid text comes back unchanged.
std::string SanitizeUtf8(std::string_view text);
