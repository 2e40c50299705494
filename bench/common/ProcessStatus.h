#pragma once
// Memory figures of this process from /proc/self/status, in MiB: "VmRSS:" now, "VmHWM:" at its peak.

#include <fstream>
#include <string>

namespace varnex::bench {

inline double statusMb(const char* key)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(key, 0) == 0)
            return std::stod(line.substr(std::string(key).size())) / 1024.0;
    }
    return 0;
}

}  // namespace varnex::bench
