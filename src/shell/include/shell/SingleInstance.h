#pragma once
// One running instance per application title and user.

#include "core/Error.h"

#include <QString>

#include <functional>

namespace varnex {

// True when another instance with the current application title is running. The first call
// decides: when none runs, this process becomes the running instance and answers requests
// to come forward from now on (a guard left behind by a crashed instance is taken over).
bool anotherInstanceRuns();

// Asks the instance that runs under title to bring its windows to the front and, with a file
// named, to open that file (an absolute path). Error 5 when no instance answers.
Status activateInstance(const QString& title, const QString& fileToOpen = {});

// What the running instance does when asked to come forward (by default: raise the
// loaded windows). An empty handler restores the default. Returns the previous handler.
std::function<void()> setActivationHandler(std::function<void()> handler);

// How the running instance opens a file handed over by another start: after coming forward,
// from the event loop, once no modal window is open (until a handler is set, the file waits).
// Returns the previous handler.
std::function<void(const QString&)> setOpenFileHandler(std::function<void(const QString&)> handler);

// The lock file whose holder is the running instance of title.
QString instanceLockPath(const QString& title);

// Tests keep the guard files in a folder of their own (empty: the user's runtime folder).
void setInstanceGuardFolderForTesting(const QString& folder);

// Gives up being the running instance (tests, and before the process ends).
void releaseInstanceGuard();

}  // namespace varnex
