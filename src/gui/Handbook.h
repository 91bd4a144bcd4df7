#pragma once

#include <QString>

class QWidget;

// The user's handbook (docs/handbuch.md): installed beside the program
// (share/doc/mavrolin, next to its bin folder), else in the source tree it
// was built from.
namespace handbook {

// The handbook's file, or empty when there is none.
[[nodiscard]] QString File();

// "Hilfe" > "Handbuch": hands the handbook to the desktop's browser or
// viewer; tells the user when there is none or it cannot be shown.
void Open(QWidget* window);

} // namespace handbook
