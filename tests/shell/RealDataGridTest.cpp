#include "MainWindowFixture.h"

#include "data/Recordset.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>

namespace varnex::test {
namespace {

using RealDataTest = MainWindowFixture;

// Every table of the files Access made shows all its rows, and its cells can be read.
TEST_F(RealDataTest, EveryTableOfAccessFilesShowsInTheGrid)
{
    const QString folder = qEnvironmentVariable("VARNEX_REALDATA");
    if (folder.isEmpty() || !QDir(folder).exists())
        GTEST_SKIP() << "no real Access files here";
    const struct {
        const char* file;
        bool jet4;
        int tables;
    } cases[] = {{"testV1997.mdb", false, 4}, {"testV2000.mdb", true, 4}, {"emptyV2000.mdb", true, 0},
                 {"delColTestV2000.mdb", true, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        const QString path = QDir(folder).filePath(QString::fromLatin1(c.file));
        if (!QFileInfo::exists(path))
            continue;
        OpenFile(path, c.jet4);
        ShowWindow();
        EXPECT_EQ(window_->tableList->count(), c.tables);
        for (int i = 0; i < window_->tableList->count(); ++i) {
            const QString table = window_->tableList->itemText(i);
            SCOPED_TRACE(table.toStdString());
            Pick(table);
            const std::shared_ptr<Recordset> shown = window_->grid->recordset();
            ASSERT_NE(shown, nullptr);
            EXPECT_EQ(window_->grid->model()->rowCount(), *shown->recordCount());
            EXPECT_EQ(window_->grid->model()->columnCount(), shown->columnCount());
            for (int column = 0; column < window_->grid->model()->columnCount(); ++column)
                (void)ColumnTexts(column);
        }
    }
    EXPECT_TRUE(LogLines().isEmpty()) << LogLines().join('\n').toStdString();
    EXPECT_EQ(MessageBoxCount(), 0);
}

}  // namespace
}  // namespace varnex::test
