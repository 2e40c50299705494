#include "WindowStart.h"

#include "core/ByteText.h"

#include <sys/stat.h>

namespace varnex::cli {
namespace {

// Where Qt has a screen to show windows on: a platform chosen by name (offscreen among them),
// or an X or Wayland display. Without one, Qt would end the process with an abort.
bool hasDisplay()
{
    for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"}) {
        if (!qEnvironmentVariableIsEmpty(name))
            return true;
    }
    return false;
}

QString whatIsWrongWith(const QString& word)
{
    if (word.startsWith(QLatin1Char('-')))
        return QStringLiteral("unknown option '%1'").arg(word);
    struct stat status {};
    const bool exists = !word.isEmpty() && stat(textToBytes(word).constData(), &status) == 0;
    if (exists && S_ISDIR(status.st_mode))
        return QStringLiteral("'%1' is a folder, not a database file or a command").arg(word);
    if (exists)
        return {};
    if (word.contains(QLatin1Char('/')) || word.contains(QLatin1Char('.')))
        return QStringLiteral("no file or command '%1'").arg(word);
    return QStringLiteral("unknown command '%1'").arg(word);
}

}  // namespace

QString windowStartProblem(const QStringList& words)
{
    if (!words.isEmpty()) {
        if (QString problem = whatIsWrongWith(words.first()); !problem.isEmpty())
            return problem;
    }
    if (hasDisplay())
        return {};
    const QString file = words.isEmpty() ? QStringLiteral("FILE") : words.first();
    return QStringLiteral("no display to show the window on; without one, list the tables with 'varnex tables %1' "
                          "and export one with 'varnex export %1 TABLE'")
        .arg(file);
}

}  // namespace varnex::cli
