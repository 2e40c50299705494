#include "app/AppSettings.h"

namespace varnex {

AppSettings& appSettings()
{
    static AppSettings settings;
    return settings;
}

}  // namespace varnex
