#include "platform/data/TableLoader.h"

#include "platform/data/ReaderProcess.h"

namespace varnex {
namespace {

TableLoader& Loader()
{
    static TableLoader loader;
    return loader;
}

}  // namespace

TableLoader SetTableLoaderForTesting(TableLoader loader)
{
    return std::exchange(Loader(), std::move(loader));
}

Result<std::shared_ptr<TableData>> LoadTable(const QString& path, const std::optional<QString>& table,
                                             const LoadProgress& progress)
{
    if (Loader())
        return Loader()(path, table, progress);
    return ReadWithReaderProcess(path, table, progress);
}

}  // namespace varnex
