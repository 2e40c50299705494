#pragma once

#include <sys/fsuid.h>
#include <unistd.h>

namespace varnex::test {

// Root passes every permission check. For its lifetime this makes file access
// happen as the ordinary user "nobody", so read-only files and folders refuse
// writes as they would for their owner.
class AsOrdinaryUser {
public:
    AsOrdinaryUser()
    {
        if (geteuid() == 0)
            setfsuid(kNobody);
    }
    ~AsOrdinaryUser()
    {
        if (geteuid() == 0)
            setfsuid(0);
    }
    AsOrdinaryUser(const AsOrdinaryUser&) = delete;
    AsOrdinaryUser& operator=(const AsOrdinaryUser&) = delete;

private:
    static constexpr uid_t kNobody = 65534;
};

}  // namespace varnex::test
