#pragma once

#include <cstddef>
#include <string_view>

// Letter case of Windows-1252 text: every upper-case letter of the code page
// (A-Z, À-Þ without ×, Š, Œ, Ž, Ÿ) folded to its lower-case form; ß, µ and
// every other byte stay as they are.
namespace casefold {

unsigned char Lower(unsigned char byte);
// The upper-case form of a lower-case letter, else the byte itself.
unsigned char Upper(unsigned char byte);

// Position of `folded` (already lower case) in `text` with letter case
// ignored, or npos. An empty `folded` is found at 0.
std::size_t Find(std::string_view text, std::string_view folded);

} // namespace casefold
