// The menu bar: its menus and their order, each action's key, and what each action does when its
// key is pressed (wherever the focus is in the window) or it is chosen.

#include "MainWindowFixture.h"

#include "shell/AboutBox.h"
#include "shell/FindBar.h"
#include "shell/ValueViewer.h"
#include "support/FileDialogStub.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QTimer>
#include <QUrl>
#include <QtTest/QTest>

#include <functional>

namespace varnex::test {

// Takes the URLs the desktop would open.
class UrlRecorder : public QObject {
    Q_OBJECT
public:
    QList<QUrl> opened;
public slots:
    void open(const QUrl& url) { opened << url; }
};

namespace {

// "File: actOpen mnuRecent - actExport ..." for each menu; "-" is a separator.
QStringList MenuLayout(const QMenuBar& bar)
{
    QStringList menus;
    for (QAction* top : bar.actions()) {
        QStringList entries{top->menu()->objectName() + ' ' + top->text() + ':'};
        for (QAction* action : top->menu()->actions())
            entries << (action->isSeparator() ? "-" : action->menu() ? action->menu()->objectName() : action->objectName());
        menus << entries.join(' ');
    }
    return menus;
}

// Answers the next modal box by closing it, after taking its text.
void CloseNextBox(QString* text)
{
    QTimer::singleShot(10, [text] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            *text = box->objectName() + '|' + box->windowTitle() + '|' + box->text();
            box->accept();
        } else {
            CloseNextBox(text);
        }
    });
}

class MainMenuTest : public MainWindowFixture {
protected:
    void SetUp() override
    {
        jetwriter::Database database;
        database.tables = {TextTable("People", {"Name", "Town"},
                                     {{std::string("Carol"), std::string("Oslo")},
                                      {std::string("Alice"), std::string("Rome")},
                                      {std::string("Bob"), std::string("Bern")}})};
        OpenDatabase(database);
        ShowWindow();
        Pick("People");
    }

    QAction* Action(const char* name) const { return window_->findChild<QAction*>(name); }
    void ActivateWindow() const
    {
        window_->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window_.get()));
    }
};

TEST_F(MainMenuTest, MenusListTheCommandsWithTheirKeys)
{
    EXPECT_EQ(MenuLayout(*window_->menuBar),
              QStringList({"mnuFile &File: actOpen mnuRecent - actExport actExportAll actExportSqlite - actSettings - actQuit",
                           "mnuEdit &Edit: actCopy actCopyWithHeadings - actFind",
                           "mnuView &View: actSortAscending actSortDescending - actShowValue",
                           "mnuHelp &Help: actManual actAbout"}));
    const std::pair<const char*, QString> keys[] = {
        {"actOpen", "Ctrl+O"},  {"actExport", "Ctrl+E"},           {"actExportAll", ""},  {"actExportSqlite", ""},  {"actSettings", ""},
        {"actQuit", "Ctrl+Q"},  {"actCopy", "Ctrl+C"},             {"actCopyWithHeadings", "Ctrl+Shift+C"},
        {"actFind", "Ctrl+F"},  {"actSortAscending", "Ctrl+Shift+S"}, {"actSortDescending", ""},
        {"actShowValue", ""},   {"actManual", "F1"},               {"actAbout", ""},
    };
    for (const auto& [name, key] : keys) {
        ASSERT_NE(Action(name), nullptr) << name;
        EXPECT_EQ(Action(name)->shortcut().toString(), key) << name;
    }
    // The control frame and the grid keep their twips below the menu bar.
    EXPECT_EQ(window_->clientArea->geometry().top(), window_->menuBar->geometry().bottom() + 1);
}

// Each command through its key (the focus on the table list, where a user leaves it after
// choosing a table) or, without a key, chosen from its menu.
TEST_F(MainMenuTest, EachActionDoesItsCommand)
{
    FileDialogStub dialogs(std::nullopt);
    UrlRecorder desktop;
    QDesktopServices::setUrlHandler("file", &desktop, "open");
    DataGrid& grid = *window_->grid;
    QString about;
    const struct {
        const char* action;
        std::function<void()> before;
        std::function<QString()> outcome;
        QString expected;
    } cases[] = {
        {"actCopy", [&] { grid.selectColumn(0); }, [] { return QApplication::clipboard()->text(); },
         "Carol\nAlice\nBob\n"},
        {"actCopyWithHeadings", [&] { grid.clearSelection(); grid.selectColumn(1); }, [] { return QApplication::clipboard()->text(); },
         "Town\nOslo\nRome\nBern\n"},
        {"actSortAscending", [&] { grid.setCurrentIndex(grid.model()->index(0, 0)); },
         [&] { return ColumnTexts(0).join(','); }, "Alice,Bob,Carol"},
        {"actSortDescending", [&] { grid.setCurrentIndex(grid.model()->index(0, 1)); },
         [&] { return ColumnTexts(1).join(','); }, "Rome,Oslo,Bern"},
        {"actShowValue", [&] { grid.setCurrentIndex(grid.model()->index(2, 1)); },
         [&] {
             const auto viewers = grid.findChildren<ValueViewer*>();
             return viewers.isEmpty() ? QString() : viewers.back()->value().text;
         },
         "Bern"},
        {"actOpen", {}, [&] { return dialogs.shown().back().title + '|' + dialogs.shown().back().filter.section('|', 0, 1); },
         "Select database|Access databases|*.mdb *.accdb"},
        {"actExport", {}, [&] { return dialogs.shown().back().title; }, "Select output File and Directory"},
        {"actManual", {}, [&] { return desktop.opened.value(0).fileName(); }, "README.md"},
        {"actAbout", [&] { CloseNextBox(&about); }, [&] { return about; }, "dlgAbout|About Varnex|" + aboutText()},
        {"actFind", {}, [&] { return QString::number(window_->findBar->isVisible()); }, "1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.action);
        QApplication::clipboard()->setText("before");
        if (c.before)
            c.before();
        QAction* action = Action(c.action);
        ASSERT_NE(action, nullptr);
        if (action->shortcut().isEmpty()) {
            action->trigger();
        } else {
            ActivateWindow();  // a box shown before took the keys, which the desktop gives back
            window_->tableList->setFocus();
            QTest::keyClick(window_->tableList, action->shortcut()[0].key(), action->shortcut()[0].keyboardModifiers());
        }
        WaitForGrid();
        EXPECT_EQ(c.outcome(), c.expected);
    }
    QDesktopServices::unsetUrlHandler("file");
    EXPECT_TRUE(aboutText().contains("Permission is hereby granted, free of charge"));
    EXPECT_TRUE(aboutText().contains("libmdb "));

    // Quit closes the window and ends the program.
    const int ends = EndProcessCount();
    ActivateWindow();
    QTest::keyClick(window_->grid, Qt::Key_Q, Qt::ControlModifier);
    EXPECT_EQ(EndProcessCount(), ends + 1);
}

}  // namespace
}  // namespace varnex::test

#include "MainMenuTest.moc"
