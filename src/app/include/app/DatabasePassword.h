#pragma once
// Which password a database is opened with, and asking the user for one. The password in
// Setup.ini belongs to the database it was stored for (UserState::passwordDatabase); a database
// without a password is opened without one; a password typed into the prompt is kept for the
// rest of the run, and in Setup.ini only when the user asks for that.

#include "core/Error.h"

#include <QString>

#include <functional>
#include <optional>

namespace varnex {

class Connection;
struct AppSettings;

struct PasswordAnswer {
    QString password;
    bool remember = false;  // store it in Setup.ini, for this database
};

// Asks for the password of the database at path; refused: the last password tried was wrong.
// nullopt when the user cancels.
using PasswordPrompt = std::function<std::optional<PasswordAnswer>(const QString& path, bool refused)>;
// Replaces the prompt; without one a database that needs a password fails to open with the
// error it gives. Returns the previous prompt.
PasswordPrompt setPasswordPrompt(PasswordPrompt prompt);

// The password tried first for the settings' database (see above).
QString passwordToTry(const AppSettings& settings);

// Notes that Setup.ini's password was stored for the settings' database.
void notePasswordStoredFor(const QString& database);

// Opens the connection with open(password), asking for the password as long as the database
// refuses the one tried and the user gives another. Cancelled: std::nullopt.
std::optional<Status> openAskingForPassword(AppSettings& settings,
                                            const std::function<Status(const QString& password)>& open);

}  // namespace varnex
