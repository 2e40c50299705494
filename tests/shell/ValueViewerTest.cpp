// The value viewer: Enter, Space or "Show value" opens a cell's value whole, text wrapped and
// binary as a hex dump, and copies it.

#include "MainWindowFixture.h"
#include "support/TableBuilders.h"

#include "shell/ShownValue.h"
#include "shell/ValueViewer.h"

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest/QTest>

namespace varnex::test {
namespace {

using jetwriter::ColumnType;

// About 5 MB of memo: lines of text, one of them far longer than a shown line.
std::string BigMemo()
{
    std::string memo;
    for (int line = 0; memo.size() < 5 * 1024 * 1024; ++line) {
        memo += "Line " + std::to_string(line) + ": the quick brown fox jumps over the lazy dog, again and again.";
        if (line == 7)
            for (int word = 0; word < 2000; ++word)
                memo += " word" + std::to_string(word);
        memo += "\r\n";
    }
    return memo;
}

jetwriter::Database Values(const std::string& memo)
{
    jetwriter::Table values = Table(
        "Values",
        {Column("Name", ColumnType::Text), Column("Notes", ColumnType::Memo), Column("Picture", ColumnType::Ole),
         Column("Count", ColumnType::Long)},
        {{T("Ann"), T(memo), jetwriter::Bytes{{0x00, 'H', 'i', 0x7F, 0xFF, '~', ' ', 'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H', 'I', 'J', 'K'}},
          I(42)},
         {T("Bob"), N(), jetwriter::Bytes{std::vector<uint8_t>(3000, 0xAB)}, N()}});
    jetwriter::Database database;
    database.tables.push_back(values);
    return database;
}

class ValueViewerTest : public MainWindowFixture {
protected:
    ValueViewer* OpenViewer() const
    {
        const QList<ValueViewer*> viewers = window_->grid->findChildren<ValueViewer*>();
        return viewers.size() == 1 ? viewers.front() : nullptr;
    }

    void CloseViewers() const
    {
        for (ValueViewer* viewer : window_->grid->findChildren<ValueViewer*>())
            delete viewer;
    }

    QString ShownText(ValueViewer& viewer) const
    {
        EXPECT_TRUE(QTest::qWaitFor([&] { return viewer.isComplete(); }, 30000));
        return viewer.findChild<QPlainTextEdit*>("txtValue")->toPlainText();
    }
};

// Each way of opening shows one value whole, with its column and type in the title; Copy copies it.
TEST_F(ValueViewerTest, ShowsTextMemoAndBinaryWhole)
{
    const std::string memo = BigMemo();
    OpenDatabase(Values(memo));
    ShowWindow();
    Pick("Values");
    DataGrid& grid = *window_->grid;
    // A cell shows the beginning of a long value only.
    EXPECT_EQ(grid.model()->index(0, 1).data().toString(), QString::fromStdString(memo.substr(0, 2000)) + QChar(0x2026));
    EXPECT_EQ(grid.model()->index(1, 2).data().toString(), QString("AB").repeated(2000) + QChar(0x2026));
    const QString dump = "00000000  00 48 69 7F FF 7E 20 41  42 43 44 45 46 47 48 49  .Hi..~ ABCDEFGHI\n"
                         "00000010  4A 4B                                             JK\n";
    const struct {
        const char* how;
        int row;
        int column;
        std::function<void()> open;
        QString title;
        QString value;
        QString size;
    } cases[] = {
        {"Enter on a text", 0, 0, [&] { QTest::keyClick(&grid, Qt::Key_Return); }, "Name (Text)", "Ann", "3 characters"},
        {"Space on a 5 MB memo", 0, 1, [&] { QTest::keyClick(&grid, Qt::Key_Space); }, "Notes (Memo)",
         QString::fromStdString(memo), QLocale().toString(static_cast<qlonglong>(memo.size())) + " characters"},
        {"the cell's menu on binary", 0, 2,
         [&] { grid.cellMenu(grid.currentIndex())->findChild<QAction*>("mnuShowValue")->trigger(); },
         "Picture (OLE Object)", dump, "18 bytes"},
        {"Enter on a number", 0, 3, [&] { QTest::keyClick(&grid, Qt::Key_Enter, Qt::KeypadModifier); }, "Count (Long Integer)",
         "42", "2 characters"},
        {"Enter on Null", 1, 1, [&] { QTest::keyClick(&grid, Qt::Key_Return); }, "Notes (Memo)", "", "0 characters"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.how);
        grid.setCurrentIndex(grid.model()->index(c.row, c.column));
        c.open();
        ValueViewer* viewer = OpenViewer();
        ASSERT_NE(viewer, nullptr);
        EXPECT_EQ(viewer->isComplete(), c.value.size() < 100000);  // a long value goes in a part at a time
        EXPECT_TRUE(viewer->isVisible());
        EXPECT_EQ(viewer->windowTitle(), c.title);
        EXPECT_EQ(viewer->findChild<QLabel*>("lblSize")->text(), c.size);
        EXPECT_TRUE(viewer->findChild<QPlainTextEdit*>("txtValue")->isReadOnly());
        const QString shownText = ShownText(*viewer);
        QString expected = c.value;
        expected.replace("\r\n", "\n");
        EXPECT_EQ(QString(shownText).remove('\n'), QString(expected).remove('\n'));
        for (const QStringView line : QStringView(shownText).split(u'\n'))
            ASSERT_LE(line.size(), 4096);
        QApplication::clipboard()->setText("before");
        QTest::mouseClick(viewer->findChild<QPushButton*>("cmdCopy"), Qt::LeftButton);
        EXPECT_EQ(QApplication::clipboard()->text(), c.value);
        CloseViewers();
    }
}

TEST(ShownValueTest, HexDumpsAndShownLines)
{
    const struct {
        QByteArray bytes;
        QString dump;
    } dumps[] = {
        {{}, ""},
        {QByteArray("\x01", 1), "00000000  01                                                .\n"},
        {QByteArray("0123456789abcdef"), "00000000  30 31 32 33 34 35 36 37  38 39 61 62 63 64 65 66  0123456789abcdef\n"},
        {QByteArray(300, '\x80').right(17), "00000000  80 80 80 80 80 80 80 80  80 80 80 80 80 80 80 80  ................\n"
                                             "00000010  80                                                .\n"},
    };
    for (const auto& d : dumps)
        EXPECT_EQ(hexDump(d.bytes), d.dump);

    const struct {
        QString text;
        qsizetype longest;
        QString shown;
    } lines[] = {
        {"a\r\nb\rc\nd", 10, "a\nb\nc\nd"},
        {"one two three four", 9, "one two \nthree \nfour"},
        {"abcdefghij", 4, "abcd\nefgh\nij"},
        {"ab cdefghijkl", 5, "ab \ncdefg\nhijkl"},
    };
    for (const auto& l : lines)
        EXPECT_EQ(textForShowing(l.text, l.longest), l.shown);
}

}  // namespace
}  // namespace varnex::test
