#pragma once
// HOME and the XDG base folders as a test wants them, restored afterwards.

#include <QByteArray>
#include <QFile>
#include <QString>

#include <optional>
#include <utility>
#include <vector>

namespace varnex::test {

// nullopt: unset.
class UserEnvironment {
public:
    UserEnvironment(const QString& home, std::optional<QString> config, std::optional<QString> state)
    {
        set("HOME", home);
        set("XDG_CONFIG_HOME", std::move(config));
        set("XDG_STATE_HOME", std::move(state));
    }
    ~UserEnvironment()
    {
        for (const auto& [name, value] : saved_) {
            if (value)
                qputenv(name, *value);
            else
                qunsetenv(name);
        }
    }
    UserEnvironment(const UserEnvironment&) = delete;
    UserEnvironment& operator=(const UserEnvironment&) = delete;

private:
    void set(const char* name, std::optional<QString> value)
    {
        saved_.emplace_back(name, qEnvironmentVariableIsSet(name) ? std::optional(qgetenv(name)) : std::nullopt);
        if (value)
            qputenv(name, QFile::encodeName(*value));
        else
            qunsetenv(name);
    }

    std::vector<std::pair<const char*, std::optional<QByteArray>>> saved_;
};

}  // namespace varnex::test
