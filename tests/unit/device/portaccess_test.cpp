#include "device/portaccess.h"
#include "device/serial/serdevice.h"
#include "unit/serial/pty.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <grp.h>
#include <pwd.h>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace zarvik {
namespace {

TEST(PortAccessTest, OnlyRefusalsCountAsDenied) {
    for (int error : {EACCES, EPERM}) {
        EXPECT_TRUE(isAccessDenied(error)) << error;
    }
    for (int error : {0, ENOENT, EBUSY, EIO, ENOTTY}) {
        EXPECT_FALSE(isAccessDenied(error)) << error;
    }
}

TEST(PortAccessTest, ANodeThatIsNotThereIsUnknown) {
    const PortAccess a = examinePortAccess("/nonexistent/ttyUSB0");
    EXPECT_FALSE(a.known);
    EXPECT_EQ(a.node, "/nonexistent/ttyUSB0");
    EXPECT_EQ(a.group, "");
}

// What a child that runs as another user finds, in one line: the error of opening the port
// as the program opens it, then the facts.
struct ChildView {
    int openError = -1;
    std::string user;
    std::string group;
    std::string node;
    bool groupMayReadWrite = false;
    bool inGroupNow = false;
    bool inGroupListed = false;
};

ChildView lookAsUser(const std::string& device, uid_t uid, gid_t gid,
                     const std::vector<gid_t>& extraGroups) {
    int fds[2];
    if (::pipe(fds) != 0) {
        ADD_FAILURE() << "no pipe";
        return {};
    }
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(fds[0]);
        if (::setgroups(extraGroups.size(), extraGroups.data()) != 0 || ::setgid(gid) != 0 ||
            ::setuid(uid) != 0) {
            ::_exit(2);
        }
        const int error = CreateSerDevice()->Open(device);
        const PortAccess a = examinePortAccess(device);
        std::ostringstream out;
        out << error << ' ' << a.user << ' ' << a.group << ' ' << a.node << ' '
            << a.groupMayReadWrite << a.inGroupNow << a.inGroupListed;
        const std::string text = out.str();
        const bool written =
            ::write(fds[1], text.data(), text.size()) == static_cast<ssize_t>(text.size());
        ::_exit(written ? 0 : 3);
    }
    ::close(fds[1]);
    std::string text;
    char buffer[512];
    for (ssize_t n; (n = ::read(fds[0], buffer, sizeof buffer)) > 0;) {
        text.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "child status " << status;
    ChildView v;
    std::istringstream in(text);
    std::string flags;
    in >> v.openError >> v.user >> v.group >> v.node >> flags;
    if (flags.size() == 3) {
        v.groupMayReadWrite = flags[0] == '1';
        v.inGroupNow = flags[1] == '1';
        v.inGroupListed = flags[2] == '1';
    }
    return v;
}

// A real serial device owned by the serial group, opened by an unprivileged user that is not in
// it and then by one whose session has it.
TEST(PortAccessTest, AUserOutsideThePortsGroupIsRefusedAndToldWhichGroupItIs) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "dropping to another user needs root";
    }
    const passwd* nobody = ::getpwnam("nobody");
    const group* dialout = ::getgrnam("dialout");
    ASSERT_NE(nobody, nullptr);
    ASSERT_NE(dialout, nullptr);
    const uid_t uid = nobody->pw_uid;
    const gid_t nogroup = nobody->pw_gid;
    const gid_t serialGroup = dialout->gr_gid;

    test::PtyMaster pty;
    const std::string tty = pty.SlavePath();
    ASSERT_EQ(::chown(tty.c_str(), 0, serialGroup), 0);
    ASSERT_EQ(::chmod(tty.c_str(), 0660), 0);
    // The name the program is given is a link, as /dev/zarvik-adc is.
    char pattern[] = "/tmp/zarvik-access-XXXXXX";
    const std::string dir = ::mkdtemp(pattern);
    ASSERT_EQ(::chmod(dir.c_str(), 0755), 0);
    const std::string link = dir + "/zarvik-adc";
    ASSERT_EQ(::symlink(tty.c_str(), link.c_str()), 0);

    const ChildView outside = lookAsUser(link, uid, nogroup, {});
    EXPECT_EQ(outside.openError, EACCES);
    EXPECT_TRUE(isAccessDenied(outside.openError));
    EXPECT_EQ(outside.user, "nobody");
    EXPECT_EQ(outside.group, "dialout");
    EXPECT_EQ(outside.node, tty);
    EXPECT_TRUE(outside.groupMayReadWrite);
    EXPECT_FALSE(outside.inGroupNow);
    EXPECT_FALSE(outside.inGroupListed);

    const ChildView member = lookAsUser(link, uid, nogroup, {serialGroup});
    EXPECT_EQ(member.openError, 0);
    EXPECT_TRUE(member.inGroupNow);

    // Rights that leave the group out: joining it would not help.
    ASSERT_EQ(::chmod(tty.c_str(), 0600), 0);
    const ChildView ownerOnly = lookAsUser(link, uid, nogroup, {serialGroup});
    EXPECT_EQ(ownerOnly.openError, EACCES);
    EXPECT_FALSE(ownerOnly.groupMayReadWrite);

    ::unlink(link.c_str());
    ::rmdir(dir.c_str());
}

// The user's primary group counts as listed: a fresh login always has it.
TEST(PortAccessTest, ANodeOfTheUsersOwnGroupIsOneTheUserIsIn) {
    char pattern[] = "/tmp/zarvik-access-XXXXXX";
    const int fd = ::mkstemp(pattern);
    ASSERT_GE(fd, 0);
    ::close(fd);
    ASSERT_EQ(::chmod(pattern, 0640), 0);
    const PortAccess a = examinePortAccess(pattern);
    EXPECT_TRUE(a.known);
    EXPECT_FALSE(a.groupMayReadWrite);
    EXPECT_TRUE(a.inGroupNow);
    EXPECT_TRUE(a.inGroupListed);
    const passwd* me = ::getpwuid(::geteuid());
    ASSERT_NE(me, nullptr);
    EXPECT_EQ(a.user, me->pw_name);
    ::unlink(pattern);
}

} // namespace
} // namespace zarvik
