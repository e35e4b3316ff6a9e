#include "device/portaccess.h"

#ifndef _WIN32
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>
#endif

namespace zarvik {

#ifdef _WIN32

// A COM port another program holds is refused the same way; there is no group to join.
bool isAccessDenied(int) {
    return false;
}

PortAccess examinePortAccess(const std::string& device) {
    PortAccess access;
    access.node = device;
    return access;
}

#else

namespace {

std::string ResolvedNode(const std::string& device) {
    char buffer[PATH_MAX];
    return ::realpath(device.c_str(), buffer) ? std::string(buffer) : device;
}

bool SessionHasGroup(gid_t gid) {
    if (::getegid() == gid) {
        return true;
    }
    const int count = ::getgroups(0, nullptr);
    if (count <= 0) {
        return false;
    }
    std::vector<gid_t> groups(static_cast<std::size_t>(count));
    const int got = ::getgroups(count, groups.data());
    for (int i = 0; i < got; ++i) {
        if (groups[static_cast<std::size_t>(i)] == gid) {
            return true;
        }
    }
    return false;
}

// The groups a fresh login of the user would have: the primary one and every group that lists
// the user.
bool DatabaseListsUser(const std::string& name, gid_t primary, gid_t gid) {
    if (primary == gid) {
        return true;
    }
    int count = 32;
    std::vector<gid_t> groups(static_cast<std::size_t>(count));
    if (::getgrouplist(name.c_str(), primary, groups.data(), &count) < 0) {
        groups.resize(static_cast<std::size_t>(count));
        if (::getgrouplist(name.c_str(), primary, groups.data(), &count) < 0) {
            return false;
        }
    }
    for (int i = 0; i < count; ++i) {
        if (groups[static_cast<std::size_t>(i)] == gid) {
            return true;
        }
    }
    return false;
}

} // namespace

bool isAccessDenied(int error) {
    return error == EACCES || error == EPERM;
}

PortAccess examinePortAccess(const std::string& device) {
    PortAccess access;
    access.node = ResolvedNode(device);

    // Copied out at once: the group look-ups below may reuse the library's buffer.
    const passwd* user = ::getpwuid(::geteuid());
    const bool userKnown = user != nullptr;
    const gid_t primary = userKnown ? user->pw_gid : 0;
    if (userKnown) {
        access.user = user->pw_name;
    } else if (const char* name = std::getenv("USER")) {
        access.user = name;
    }

    struct stat st {};
    if (::stat(access.node.c_str(), &st) != 0) {
        return access;
    }
    access.known = true;
    const group* owner = ::getgrgid(st.st_gid);
    access.group = owner ? std::string(owner->gr_name) : std::to_string(st.st_gid);
    access.groupMayReadWrite = (st.st_mode & (S_IRGRP | S_IWGRP)) == (S_IRGRP | S_IWGRP);
    access.inGroupNow = SessionHasGroup(st.st_gid);
    access.inGroupListed = userKnown && DatabaseListsUser(access.user, primary, st.st_gid);
    return access;
}

#endif

} // namespace zarvik
