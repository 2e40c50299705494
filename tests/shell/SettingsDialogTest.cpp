// What the settings window stores in Setup.ini, and when.

#include "SettingsDialogFixture.h"

#include "core/Application.h"
#include "core/LocaleCodec.h"
#include "core/ProfileString.h"
#include "shell/SettingsDialog.h"

#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>

#include <sys/stat.h>

namespace varnex::test {
namespace {

// Setup.ini contents as bytes; std::string so that a difference prints readably.
const std::string BaseIni = "[DataConnection]\r\nPath=/srv/data/rilk.mdb\r\nUser=Admin\r\nPassword=\r\n";

using SettingsDialogTest = SettingsDialogFixture;

TEST_F(SettingsDialogTest, LoadStoresTheHeaderOptionOnlyWhenItIsOn)
{
    struct Case {
        const char* name;
        bool incHeader;
        std::string before;
        std::string afterLoad;
    };
    const Case cases[] = {
        {"on, no Export section", true, BaseIni, BaseIni + "\r\n[Export]\r\nIncHeader=True\r\n"},
        {"on, stored False", true, BaseIni + "[Export]\r\nIncHeader=False\r\n",
         BaseIni + "[Export]\r\nIncHeader=True\r\n"},
        {"off, stored True", false, BaseIni + "[Export]\r\nIncHeader=True\r\n",
         BaseIni + "[Export]\r\nIncHeader=True\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        writeIni(c.before);
        appSettings().includeHeader = c.incHeader;
        appSettings().dataPath = QStringLiteral("/srv/data/rilk.mdb");
        appSettings().user = QStringLiteral("Admin");
        std::string afterLoad;
        bool ticked = false;
        openAndClose([&](SettingsDialog& window) {
            afterLoad = iniBytes();
            ticked = window.includeHeaderBox->isChecked();
            EXPECT_EQ(window.dataPathEdit->text(), "/srv/data/rilk.mdb");
            EXPECT_EQ(window.userEdit->text(), "Admin");
        });
        EXPECT_EQ(afterLoad, c.afterLoad);
        EXPECT_EQ(ticked, c.incHeader);
        EXPECT_EQ(appSettings().includeHeader, c.incHeader);
    }
    EXPECT_TRUE(boxes().empty());
}

TEST_F(SettingsDialogTest, EachClickStoresTheOptionAtOnceAndClosingDoesNot)
{
    writeIni(BaseIni + "[Export]\r\nIncHeader=False\r\n");
    appSettings().user = QStringLiteral("Admin");
    std::vector<std::pair<std::string, bool>> afterClicks;
    openAndClose([&](SettingsDialog& window) {
        for (int i = 0; i < 3; ++i) {
            window.includeHeaderBox->click();
            afterClicks.emplace_back(iniBytes(), appSettings().includeHeader);
        }
    });
    const std::vector<std::pair<std::string, bool>> expected{
        {BaseIni + "[Export]\r\nIncHeader=True\r\n", true},
        {BaseIni + "[Export]\r\nIncHeader=False\r\n", false},
        {BaseIni + "[Export]\r\nIncHeader=True\r\n", true},
    };
    EXPECT_EQ(afterClicks, expected);
    // Closing added nothing for the option: only User and Password were rewritten, unchanged.
    EXPECT_EQ(iniBytes(), BaseIni + "[Export]\r\nIncHeader=True\r\n");
}

TEST_F(SettingsDialogTest, ClosingStoresUserAndPasswordAsShown)
{
    struct Case {
        const char* name;
        QString storedUser, storedPassword;     // what the window opens with
        std::optional<QString> typedUser, typedPassword;
        std::string expected;
    };
    const Case cases[] = {
        {"untouched", "Admin", "s3cret", {}, {},
         "[DataConnection]\r\nPath=/srv/data/rilk.mdb\r\nUser=Admin\r\nPassword=s3cret\r\n"},
        {"both emptied", "Admin", "s3cret", QString(), QString(),
         "[DataConnection]\r\nPath=/srv/data/rilk.mdb\r\nUser=\r\nPassword=\r\n"},
        {"typed as is", "Admin", "", QStringLiteral("  joe "), QStringLiteral("p@ss = w;rd"),
         "[DataConnection]\r\nPath=/srv/data/rilk.mdb\r\nUser=  joe \r\nPassword=p@ss = w;rd\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        writeIni(BaseIni);
        appSettings().user = c.storedUser;
        appSettings().password = c.storedPassword;
        QString shownPassword;
        openAndClose([&](SettingsDialog& window) {
            shownPassword = window.passwordEdit->displayText();
            if (c.typedUser)
                window.userEdit->setText(*c.typedUser);
            if (c.typedPassword)
                window.passwordEdit->setText(*c.typedPassword);
        });
        EXPECT_EQ(shownPassword, c.storedPassword);  // in clear, not masked
        EXPECT_EQ(iniBytes(), c.expected);
        EXPECT_EQ(appSettings().user, c.typedUser.value_or(c.storedUser));
        EXPECT_EQ(appSettings().password, c.typedPassword.value_or(c.storedPassword));
    }
    // An emptied user name stays empty when read back, instead of turning into "Admin".
    writeIni(BaseIni);
    openAndClose([](SettingsDialog& window) { window.userEdit->clear(); });
    EXPECT_EQ(readProfileString("DataConnection", "User", "Admin", iniFile()), "");
    EXPECT_TRUE(boxes().empty());
}

TEST_F(SettingsDialogTest, BrowseStartsInTheFolderOfTheDatabase)
{
    struct Case {
        const char* name;
        QString dataPath;
        QString initDir;
    };
    const Case cases[] = {
        {"no database", "", appFolder()},
        {"full path", "/srv/data/rilk.mdb", "/srv/data/"},
        {"bare name", "rilk.mdb", ""},
    };
    for (qsizetype i = 0; i < qsizetype(std::size(cases)); ++i) {
        const Case& c = cases[i];
        SCOPED_TRACE(c.name);
        writeIni(BaseIni);
        appSettings().dataPath = c.dataPath;
        std::string afterCancel;
        openAndClose([&](SettingsDialog& window) {
            cancelDialog();
            window.browseButton->click();
            afterCancel = iniBytes();
        });
        ASSERT_EQ(dialogs().size(), i + 1);
        EXPECT_EQ(dialogs()[i].initialFolder, c.initDir);
        EXPECT_EQ(dialogs()[i].title, "Select database");
        EXPECT_EQ(dialogs()[i].filter, "Access databases|*.mdb *.accdb|Access Database MDB |*.mdb|Access Database ACCDB |*.accdb|All Files |*");
        EXPECT_EQ(dialogs()[i].mode, FileDialogMode::Open);
        EXPECT_EQ(afterCancel, BaseIni);
        EXPECT_EQ(appSettings().dataPath, c.dataPath);
    }
    EXPECT_TRUE(boxes().empty());
}

TEST_F(SettingsDialogTest, AcceptedBrowseStoresThePathAtOnceAndCancelKeepsIt)
{
    writeIni(BaseIni);
    appSettings().dataPath = QStringLiteral("/srv/data/rilk.mdb");
    const QString chosen = makeFile(QStringLiteral("new db/Notes.txt"));  // any extension will do
    std::string afterAccept;
    QString shownAfterCancel;
    openAndClose([&](SettingsDialog& window) {
        chooseInDialog(chosen);
        window.browseButton->click();
        afterAccept = iniBytes();
        cancelDialog();
        window.browseButton->click();
        shownAfterCancel = window.dataPathEdit->text();
    });
    EXPECT_EQ(afterAccept, "[DataConnection]\r\nPath=" + chosen.toStdString()
                               + "\r\nUser=Admin\r\nPassword=\r\n");
    ASSERT_EQ(dialogs().size(), 2);
    EXPECT_EQ(dialogs()[1].initialFolder, appDir.file(QStringLiteral("new db/")));
    EXPECT_EQ(shownAfterCancel, chosen);
    EXPECT_EQ(appSettings().dataPath, chosen);
    EXPECT_TRUE(boxes().empty());
}

TEST_F(SettingsDialogTest, BrowseRefusesANameThatIsNoFile)
{
    makeFile(QStringLiteral("rilk.mdb"));
    makeFile(QStringLiteral(".hidden.mdb"));
    makeFile(QStringLiteral("folder.mdb/inside.mdb"));
    const QString names[] = {
        appDir.file(QStringLiteral("missing.mdb")),
        appDir.file(QStringLiteral("rilk")),         // no extension is added
        appDir.file(QStringLiteral(".hidden.mdb")),  // hidden files do not count
        appDir.file(QStringLiteral("folder.mdb")),
        appDir.file(QStringLiteral("*.mdb")),        // a pattern is not a file
        appDir.file(QStringLiteral("ril?.mdb")),
    };
    for (const QString& name : names) {
        SCOPED_TRACE(name.toStdString());
        writeIni(BaseIni);
        msgBoxes.clear();
        appSettings().dataPath = QStringLiteral("/srv/data/rilk.mdb");
        std::string afterRefusal;
        QString shown;
        openAndClose([&](SettingsDialog& window) {
            chooseInDialog(name);
            window.browseButton->click();
            afterRefusal = iniBytes();
            shown = window.dataPathEdit->text();
        });
        const QString refusal = name.endsWith("folder.mdb") ? name + " is a folder, not a database file."
                                                            : name + " - does not exist!";
        const QList<Message> expected{{refusal, MessageStyle::Critical, "Varnex"}};
        EXPECT_EQ(boxes(), expected);
        EXPECT_EQ(afterRefusal, BaseIni);
        EXPECT_EQ(shown, "/srv/data/rilk.mdb");
        EXPECT_EQ(appSettings().dataPath, "/srv/data/rilk.mdb");
    }
}

TEST_F(SettingsDialogTest, AFailedWriteIsReportedNamingTheFile)
{
    // A settings file below a plain file cannot be written, whoever runs the test.
    makeFile(QStringLiteral("not-a-folder"));
    appSettings().iniFile = appDir.file(QStringLiteral("not-a-folder/Setup.ini"));
    const Message failure{"Could not save the settings to '" + iniFile() + "'.", MessageStyle::Critical, "Varnex"};
    const QString chosen = makeFile(QStringLiteral("other.mdb"));

    struct Case {
        const char* name;
        bool incHeader;
        std::function<void(SettingsDialog&)> use;
    };
    const Case cases[] = {
        {"load with the option on", true, {}},
        {"close only", false, {}},
        {"tick", false, [](SettingsDialog& w) { w.includeHeaderBox->click(); }},
        {"browse", false, [&](SettingsDialog& w) {
             chooseInDialog(chosen);
             w.browseButton->click();
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        msgBoxes.clear();
        appSettings().includeHeader = c.incHeader;
        std::size_t boxesWhileOpen = 0;
        openAndClose([&](SettingsDialog& window) {
            if (c.use)
                c.use(window);
            boxesWhileOpen = boxes().size();
        });
        // One box for the change made while open (if any), one for the close.
        const std::size_t changes = (c.incHeader || c.use) ? 1 : 0;
        EXPECT_EQ(boxesWhileOpen, changes);
        EXPECT_EQ(boxes(), QList<Message>(qsizetype(changes + 1), failure));
    }
    // The window's own fields changed all the same.
    EXPECT_EQ(appSettings().dataPath, chosen);
}

TEST_F(SettingsDialogTest, ACreatedSettingsFileIsPrivateAndAnExistingOneKeepsItsMode)
{
    struct Case {
        const char* name;
        std::optional<mode_t> existingMode;
        mode_t expected;
    };
    const Case cases[] = {
        {"created", std::nullopt, 0600},
        {"existing 0644", 0644, 0644},
        {"existing 0660", 0660, 0660},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(iniFile());
        if (c.existingMode) {
            writeIni(BaseIni);
            ASSERT_EQ(::chmod(QFile::encodeName(iniFile()).constData(), *c.existingMode), 0);
        }
        openAndClose();
        struct stat info {};
        ASSERT_EQ(::stat(QFile::encodeName(iniFile()).constData(), &info), 0);
        EXPECT_EQ(info.st_mode & 07777, c.expected);
    }
}

TEST_F(SettingsDialogTest, CharactersTheCodePageCannotHoldAreStoredAsQuestionMarks)
{
    setLocaleCodeSetForTesting("ISO-8859-1");
    writeIni(BaseIni);
    const QString chosen = makeFile(QStringLiteral("base\u03a9.mdb"));
    openAndClose([&](SettingsDialog& window) {
        chooseInDialog(chosen);
        window.browseButton->click();
        window.userEdit->setText(QStringLiteral("Zo\u00eb \u03a9"));
        window.passwordEdit->setText(QStringLiteral("\u043a\u043b\u044e\u0447"));
    });
    const std::string expected = "[DataConnection]\r\nPath=" + appDir.path().toStdString()
                                + "/base?.mdb\r\nUser=Zo\xeb ?\r\nPassword=????\r\n";
    EXPECT_EQ(iniBytes(), expected);
    EXPECT_EQ(readProfileString("DataConnection", "User", "", iniFile()), "Zo\u00eb ?");
}

}  // namespace
}  // namespace varnex::test
