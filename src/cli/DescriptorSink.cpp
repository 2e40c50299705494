#include "DescriptorSink.h"

#include <cerrno>
#include <cstring>

#include <unistd.h>

namespace varnex::cli {

Status DescriptorSink::write(std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd_, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            const int error = written < 0 ? errno : EIO;
            pipeClosed_ = error == EPIPE;
            Error failure = fileError(error);
            failure.description = QStringLiteral("%1: %2").arg(name_, QString::fromLocal8Bit(std::strerror(error)));
            return failure;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return {};
}

}  // namespace varnex::cli
