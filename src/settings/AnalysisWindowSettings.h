#pragma once

#include <optional>

class TUserManager;

// Place and size of the analysis window in the user's key of the settings
// store, in a value of its own ("analysis window": four 32-bit little-endian
// integers left, top, width, height), so that the window configuration record
// keeps its layout. Written with the window configuration, when the user's
// options ask for it.
namespace settings {

inline constexpr char AnalysisWindowValue[] = "analysis window";

struct WindowPlace {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
};

// Nothing when there is no such value or it is no usable place (wrong type or
// size, a width or height outside 1 .. 32767). Throws the registry error when
// the store can't be read.
std::optional<WindowPlace> LoadAnalysisPlace(const TUserManager& user);
// Writes at once; nothing while the user's settings are not valid.
void SaveAnalysisPlace(TUserManager& user, const WindowPlace& place);

} // namespace settings
