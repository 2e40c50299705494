#pragma once

#include <QString>
#include <QStringList>

namespace varnex::cli {

// What stands in the way of starting the window with these words (after the program's name,
// not a command): a first word that is neither a command nor an existing file (a mistyped
// command, an unknown option), or no display to show the window on. Empty where nothing does.
QString windowStartProblem(const QStringList& words);

}  // namespace varnex::cli
