#include "core/StandardStreams.h"

#include <cerrno>
#include <initializer_list>

#include <fcntl.h>
#include <unistd.h>

namespace varnex {

void openClosedStandardStreams()
{
    for (const int fd : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO}) {
        if (fcntl(fd, F_GETFD) != -1 || errno != EBADF)
            continue;
        const int opened = ::open("/dev/null", fd == STDERR_FILENO ? O_WRONLY : O_RDONLY);
        // The lowest free number is fd itself, as the ones below it are open by now.
        if (opened >= 0 && opened != fd) {
            dup2(opened, fd);
            ::close(opened);
        }
    }
}

}  // namespace varnex
