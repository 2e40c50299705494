// What the settings window stores in Setup.ini, and when.

#include "settings/SettingsTestFixture.h"

#include "platform/AnsiCodec.h"
#include "platform/AppInfo.h"
#include "platform/ProfileString.h"
#include "settings/frmSetting.h"

#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>

#include <sys/stat.h>

namespace varnex::test {
namespace {

// Setup.ini contents as bytes; std::string so that a difference prints readably.
const std::string BaseIni = "[DataConnection]\r\nPath=/srv/data/rilk.mdb\r\nUser=Admin\r\nPassword=\r\n";

using SettingsWindowTest = SettingsFixture;

TEST_F(SettingsWindowTest, LoadStoresTheHeaderOptionOnlyWhenItIsOn)
{
    struct Case {
        const char* name;
        int16_t incHeader;
        std::string before;
        std::string afterLoad;
    };
    const Case cases[] = {
        {"on, no Export section", -1, BaseIni, BaseIni + "\r\n[Export]\r\nIncHeader=True\r\n"},
        {"on, stored False", -1, BaseIni + "[Export]\r\nIncHeader=False\r\n",
         BaseIni + "[Export]\r\nIncHeader=True\r\n"},
        {"off, stored True", 0, BaseIni + "[Export]\r\nIncHeader=True\r\n",
         BaseIni + "[Export]\r\nIncHeader=True\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        writeIni(c.before);
        Globals().gIncHeader = c.incHeader;
        Globals().gDataPath = QStringLiteral("/srv/data/rilk.mdb");
        Globals().gUser = QStringLiteral("Admin");
        std::string afterLoad;
        bool ticked = false;
        openAndClose([&](frmSetting& window) {
            afterLoad = iniBytes();
            ticked = window.chkHeader->isChecked();
            EXPECT_EQ(window.txtDataPath->text(), "/srv/data/rilk.mdb");
            EXPECT_EQ(window.txtUser->text(), "Admin");
        });
        EXPECT_EQ(afterLoad, c.afterLoad);
        EXPECT_EQ(ticked, c.incHeader != 0);
        EXPECT_EQ(Globals().gIncHeader, c.incHeader);
    }
    EXPECT_TRUE(boxes().empty());
}

TEST_F(SettingsWindowTest, EachClickStoresTheOptionAtOnceAndClosingDoesNot)
{
    writeIni(BaseIni + "[Export]\r\nIncHeader=False\r\n");
    Globals().gUser = QStringLiteral("Admin");
    std::vector<std::pair<std::string, int16_t>> afterClicks;
    openAndClose([&](frmSetting& window) {
        for (int i = 0; i < 3; ++i) {
            window.chkHeader->click();
            afterClicks.emplace_back(iniBytes(), Globals().gIncHeader);
        }
    });
    const std::vector<std::pair<std::string, int16_t>> expected{
        {BaseIni + "[Export]\r\nIncHeader=True\r\n", -1},
        {BaseIni + "[Export]\r\nIncHeader=False\r\n", 0},
        {BaseIni + "[Export]\r\nIncHeader=True\r\n", -1},
    };
    EXPECT_EQ(afterClicks, expected);
    // Closing added nothing for the option: only User and Password were rewritten, unchanged.
    EXPECT_EQ(iniBytes(), BaseIni + "[Export]\r\nIncHeader=True\r\n");
}

TEST_F(SettingsWindowTest, ClosingStoresUserAndPasswordAsShown)
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
        Globals().gUser = c.storedUser;
        Globals().gPassword = c.storedPassword;
        QString shownPassword;
        openAndClose([&](frmSetting& window) {
            shownPassword = window.txtPassword->displayText();
            if (c.typedUser)
                window.txtUser->setText(*c.typedUser);
            if (c.typedPassword)
                window.txtPassword->setText(*c.typedPassword);
        });
        EXPECT_EQ(shownPassword, c.storedPassword);  // in clear, not masked
        EXPECT_EQ(iniBytes(), c.expected);
        EXPECT_EQ(Globals().gUser, c.typedUser.value_or(c.storedUser));
        EXPECT_EQ(Globals().gPassword, c.typedPassword.value_or(c.storedPassword));
    }
    // An emptied user name stays empty when read back, instead of turning into "Admin".
    writeIni(BaseIni);
    openAndClose([](frmSetting& window) { window.txtUser->clear(); });
    EXPECT_EQ(GetPrivateProfileString("DataConnection", "User", "Admin", iniFile()), "");
    EXPECT_TRUE(boxes().empty());
}

TEST_F(SettingsWindowTest, BrowseStartsInTheFolderOfTheDatabase)
{
    struct Case {
        const char* name;
        QString dataPath;
        QString initDir;
    };
    const Case cases[] = {
        {"no database", "", AppPath()},
        {"full path", "/srv/data/rilk.mdb", "/srv/data/"},
        {"bare name", "rilk.mdb", ""},
    };
    for (qsizetype i = 0; i < qsizetype(std::size(cases)); ++i) {
        const Case& c = cases[i];
        SCOPED_TRACE(c.name);
        writeIni(BaseIni);
        Globals().gDataPath = c.dataPath;
        std::string afterCancel;
        openAndClose([&](frmSetting& window) {
            cancelDialog();
            window.cmdDataPath->click();
            afterCancel = iniBytes();
        });
        ASSERT_EQ(dialogs().size(), i + 1);
        EXPECT_EQ(dialogs()[i].InitDir, c.initDir);
        EXPECT_EQ(dialogs()[i].DialogTitle, "Select database");
        EXPECT_EQ(dialogs()[i].Filter, "Access Database MDB |*.mdb");
        EXPECT_TRUE(dialogs()[i].CancelError);
        EXPECT_EQ(afterCancel, BaseIni);
        EXPECT_EQ(Globals().gDataPath, c.dataPath);
    }
    EXPECT_TRUE(boxes().empty());
}

TEST_F(SettingsWindowTest, AcceptedBrowseStoresThePathAtOnceAndCancelKeepsIt)
{
    writeIni(BaseIni);
    Globals().gDataPath = QStringLiteral("/srv/data/rilk.mdb");
    const QString chosen = makeFile(QStringLiteral("new db/Notes.txt"));  // any extension will do
    std::string afterAccept;
    QString shownAfterCancel;
    openAndClose([&](frmSetting& window) {
        chooseInDialog(chosen);
        window.cmdDataPath->click();
        afterAccept = iniBytes();
        cancelDialog();
        window.cmdDataPath->click();
        shownAfterCancel = window.txtDataPath->text();
    });
    EXPECT_EQ(afterAccept, "[DataConnection]\r\nPath=" + chosen.toStdString()
                               + "\r\nUser=Admin\r\nPassword=\r\n");
    ASSERT_EQ(dialogs().size(), 2);
    EXPECT_EQ(dialogs()[1].InitDir, appDir.file(QStringLiteral("new db/")));
    EXPECT_EQ(shownAfterCancel, chosen);
    EXPECT_EQ(Globals().gDataPath, chosen);
    EXPECT_TRUE(boxes().empty());
}

TEST_F(SettingsWindowTest, BrowseRefusesANameThatIsNoFile)
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
        Globals().gDataPath = QStringLiteral("/srv/data/rilk.mdb");
        std::string afterRefusal;
        QString shown;
        openAndClose([&](frmSetting& window) {
            chooseInDialog(name);
            window.cmdDataPath->click();
            afterRefusal = iniBytes();
            shown = window.txtDataPath->text();
        });
        const QList<MsgBoxCall> expected{{name + " - does not exist!", 16, "Varnex"}};
        EXPECT_EQ(boxes(), expected);
        EXPECT_EQ(afterRefusal, BaseIni);
        EXPECT_EQ(shown, "/srv/data/rilk.mdb");
        EXPECT_EQ(Globals().gDataPath, "/srv/data/rilk.mdb");
    }
}

TEST_F(SettingsWindowTest, AFailedWriteIsReportedNamingTheFile)
{
    // A settings file below a plain file cannot be written, whoever runs the test.
    makeFile(QStringLiteral("not-a-folder"));
    Globals().gIniFile = appDir.file(QStringLiteral("not-a-folder/Setup.ini"));
    const MsgBoxCall failure{"Could not save the settings to '" + iniFile() + "'.", 16, "Varnex"};
    const QString chosen = makeFile(QStringLiteral("other.mdb"));

    struct Case {
        const char* name;
        int16_t incHeader;
        std::function<void(frmSetting&)> use;
    };
    const Case cases[] = {
        {"load with the option on", -1, {}},
        {"close only", 0, {}},
        {"tick", 0, [](frmSetting& w) { w.chkHeader->click(); }},
        {"browse", 0, [&](frmSetting& w) {
             chooseInDialog(chosen);
             w.cmdDataPath->click();
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        msgBoxes.clear();
        Globals().gIncHeader = c.incHeader;
        std::size_t boxesWhileOpen = 0;
        openAndClose([&](frmSetting& window) {
            if (c.use)
                c.use(window);
            boxesWhileOpen = boxes().size();
        });
        // One box for the change made while open (if any), one for the close.
        const std::size_t changes = (c.incHeader != 0 || c.use) ? 1 : 0;
        EXPECT_EQ(boxesWhileOpen, changes);
        EXPECT_EQ(boxes(), QList<MsgBoxCall>(qsizetype(changes + 1), failure));
    }
    // The window's own fields changed all the same.
    EXPECT_EQ(Globals().gDataPath, chosen);
}

TEST_F(SettingsWindowTest, ACreatedSettingsFileIsPrivateAndAnExistingOneKeepsItsMode)
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

TEST_F(SettingsWindowTest, CharactersTheCodePageCannotHoldAreStoredAsQuestionMarks)
{
    SetAnsiCodeSetForTesting("ISO-8859-1");
    writeIni(BaseIni);
    const QString chosen = makeFile(QStringLiteral("base\u03a9.mdb"));
    openAndClose([&](frmSetting& window) {
        chooseInDialog(chosen);
        window.cmdDataPath->click();
        window.txtUser->setText(QStringLiteral("Zo\u00eb \u03a9"));
        window.txtPassword->setText(QStringLiteral("\u043a\u043b\u044e\u0447"));
    });
    const std::string expected = "[DataConnection]\r\nPath=" + appDir.path().toStdString()
                                + "/base?.mdb\r\nUser=Zo\xeb ?\r\nPassword=????\r\n";
    EXPECT_EQ(iniBytes(), expected);
    EXPECT_EQ(GetPrivateProfileString("DataConnection", "User", "", iniFile()), "Zo\u00eb ?");
}

}  // namespace
}  // namespace varnex::test
