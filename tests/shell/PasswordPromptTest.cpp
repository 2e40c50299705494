// The password prompt of the desktop program: asked when a database needs a password that is not
// stored for it; a wrong one asks again, Cancel leaves the window without a database, and
// "Remember in Setup.ini" stores it for that database alone.

#include "OpenDatabaseFixture.h"

#include "app/AppSettings.h"
#include "app/UserState.h"
#include "shell/OpenDatabase.h"
#include "shell/PasswordDialog.h"
#include "shell/ShowMainWindow.h"
#include "shell/Startup.h"
#include "shell/Windows.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>

#include <deque>

namespace varnex {
namespace {

using test::DesktopSandbox;

// What the user types into the next prompts: a password and the Remember box, or nullopt for Cancel.
struct Typed {
    std::optional<QString> password;
    bool remember = false;
};

class PasswordPromptTest : public test::OpenDatabaseFixture {
protected:
    PasswordPromptTest() { installPasswordDialog(); }
    ~PasswordPromptTest() override { setPasswordPrompt({}); }

    // Answers each password dialog as it shows, from the queue; records what it said.
    void answer(std::deque<Typed> typed)
    {
        typed_ = std::move(typed);
        poll();
    }
    void poll()
    {
        auto* dialog = qobject_cast<PasswordDialog*>(QApplication::activeModalWidget());
        if (!dialog) {
            if (!typed_.empty())
                QTimer::singleShot(5, [this] { poll(); });
            return;
        }
        prompts_ << dialog->promptLabel->text() + (dialog->passwordEdit->echoMode() == QLineEdit::Password ? "" : " (shown!)") +
                        (dialog->rememberBox->isChecked() ? " (remembered!)" : "");
        const Typed next = typed_.empty() ? Typed{} : typed_.front();
        if (!typed_.empty())
            typed_.pop_front();
        if (next.password) {
            dialog->passwordEdit->setText(*next.password);
            dialog->rememberBox->setChecked(next.remember);
            dialog->accept();
        } else {
            dialog->reject();
        }
        QTimer::singleShot(5, [this] { poll(); });
    }

    QString locked(const QString& name) const
    {
        return writeDatabase(app.file(name), jetwriter::Format::Jet4, {"Secret"}, "right");
    }
    QString setupIni() const { return QString::fromUtf8(DesktopSandbox::readFile(app.file("Setup.ini"))); }

    QStringList prompts_;

private:
    std::deque<Typed> typed_;
};

TEST_F(PasswordPromptTest, AsksUntilRightOrCancelledAndRemembersOnlyWhenTold)
{
    const QString one = locked("one.mdb"), two = locked("two.mdb"), three = locked("three.mdb"), four = locked("four.mdb");
    const QString plain = writeDatabase(app.file("plain.accdb"), jetwriter::Format::Ace2007, {"Open"});
    const QString asked = " is protected by a password. Enter it:";
    const QString refused = "The password was not accepted. Enter the password of ";
    const struct {
        const char* name;
        QString file;
        std::deque<Typed> typed;
        QStringList prompts;
        QStringList tables;
        QString passwordInSetupIni;
    } steps[] = {
        {"wrong, then right", one, {{"wrong"}, {"right"}}, {"one.mdb" + asked, refused + "one.mdb:"}, {"Secret"}, ""},
        {"cancelled", two, {{std::nullopt}}, {"two.mdb" + asked}, {}, ""},
        {"remembered", three, {{"right", true}}, {"three.mdb" + asked}, {"Secret"}, "right"},
        {"a file without a password ignores the stored one", plain, {}, {}, {"Open"}, "right"},
        {"another file with a password asks", four, {{std::nullopt}}, {"four.mdb" + asked}, {}, "right"},
        {"the file it was stored for does not", three, {}, {}, {"Secret"}, "right"},
    };
    app.writeSetupIni("[DataConnection]\r\nPath=" + one.toUtf8() + "\r\n");
    answer(steps[0].typed);
    startApplication(showMainWindow);
    ASSERT_NE(mainWindow(), nullptr);
    for (const auto& step : steps) {
        SCOPED_TRACE(step.name);
        if (&step != &steps[0]) {
            prompts_.clear();
            answer(step.typed);
            openDatabaseFile(*mainWindow(), step.file);
        }
        EXPECT_EQ(prompts_, step.prompts);
        EXPECT_EQ(tables(), step.tables);
        EXPECT_EQ(appSettings().dataPath, step.tables.isEmpty() ? QString() : step.file);
        EXPECT_TRUE(boxes.calls().isEmpty());
        const QString stored = step.passwordInSetupIni.isEmpty() ? QString() : "Password=" + step.passwordInSetupIni;
        EXPECT_EQ(setupIni().contains("Password="), !stored.isEmpty());
        EXPECT_TRUE(stored.isEmpty() || setupIni().contains(stored + "\r\n"));
    }
    EXPECT_EQ(userState().passwordDatabase, three);
}

}  // namespace
}  // namespace varnex
