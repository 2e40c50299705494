#include "app/DatabasePassword.h"

#include "app/AppSettings.h"
#include "app/StoreSettings.h"
#include "app/UserState.h"
#include "store/JetHeader.h"

#include <QHash>

namespace varnex {
namespace {

PasswordPrompt& promptSlot()
{
    static PasswordPrompt prompt;
    return prompt;
}

// Passwords typed into the prompt this run, by database.
QHash<QString, QString>& givenPasswords()
{
    static QHash<QString, QString> passwords;
    return passwords;
}

bool needsPassword(const QString& path)
{
    const Result<JetHeader> header = readJetHeader(path);
    return !header || header->needsPassword();  // a header that cannot be read fails the open anyway
}

void keep(AppSettings& settings, const PasswordAnswer& answer)
{
    givenPasswords().insert(settings.dataPath, answer.password);
    if (!answer.remember)
        return;
    settings.password = answer.password;
    if (storeSettings({{QStringLiteral("DataConnection"), QStringLiteral("Password"), answer.password}}))
        notePasswordStoredFor(settings.dataPath);
}

}  // namespace

PasswordPrompt setPasswordPrompt(PasswordPrompt prompt)
{
    return std::exchange(promptSlot(), std::move(prompt));
}

QString passwordToTry(const AppSettings& settings)
{
    if (!needsPassword(settings.dataPath))
        return {};
    if (const auto given = givenPasswords().constFind(settings.dataPath); given != givenPasswords().cend())
        return *given;
    const QString storedFor = userState().passwordDatabase;
    // A password stored by hand, or before the program kept its database, counts for any.
    return storedFor.isEmpty() || storedFor == settings.dataPath ? settings.password : QString();
}

void notePasswordStoredFor(const QString& database)
{
    if (userState().passwordDatabase == database)
        return;
    userState().passwordDatabase = database;
    saveUserState();
}

std::optional<Status> openAskingForPassword(AppSettings& settings,
                                            const std::function<Status(const QString& password)>& open)
{
    const QString first = passwordToTry(settings);
    Status opened = open(first);
    bool refused = !first.isEmpty();
    while (!opened && opened.error().code == ErrorCode::BadPassword && promptSlot()) {
        const std::optional<PasswordAnswer> answer = promptSlot()(settings.dataPath, refused);
        if (!answer)
            return std::nullopt;
        opened = open(answer->password);
        refused = true;
        if (opened)
            keep(settings, *answer);
    }
    return opened;
}

}  // namespace varnex
