#pragma once
// The one line on standard error that progress keeps up to date; messages take
// its place rather than run on after it.

#include <QString>

namespace varnex::cli {

void showTerminalLine(const QString& text);
// Clears the line where one is shown.
void takeTerminalLineAway();

}  // namespace varnex::cli
