#include "BrowserFixture.h"

#include "platform/data/Recordset.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>

namespace varnex::test {
namespace {

using RealDataTest = BrowserFixture;

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
        EXPECT_EQ(window_->cboTable->count(), c.tables);
        for (int i = 0; i < window_->cboTable->count(); ++i) {
            const QString table = window_->cboTable->itemText(i);
            SCOPED_TRACE(table.toStdString());
            Pick(table);
            const std::shared_ptr<Recordset> shown = window_->dgData->DataSource();
            ASSERT_NE(shown, nullptr);
            EXPECT_EQ(window_->dgData->model()->rowCount(), *shown->RecordCount());
            EXPECT_EQ(window_->dgData->model()->columnCount(), shown->columnCount());
            for (int column = 0; column < window_->dgData->model()->columnCount(); ++column)
                (void)ColumnTexts(column);
        }
    }
    EXPECT_TRUE(LogLines().isEmpty()) << LogLines().join('\n').toStdString();
    EXPECT_EQ(MessageBoxCount(), 0);
}

}  // namespace
}  // namespace varnex::test
