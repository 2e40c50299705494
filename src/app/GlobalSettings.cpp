#include "app/GlobalSettings.h"

namespace varnex {

GlobalSettings& Globals()
{
    static GlobalSettings settings;
    return settings;
}

}  // namespace varnex
