#include "app/AppSettings.h"

#include "data/Connection.h"

namespace varnex {

AppSettings& appSettings()
{
    static AppSettings settings;
    return settings;
}

void releaseConnection()
{
    std::shared_ptr<Connection>& connection = appSettings().connection;
    if (!connection)
        return;
    if (connection->isOpen())
        (void)connection->close();
    connection.reset();
}

}  // namespace varnex
