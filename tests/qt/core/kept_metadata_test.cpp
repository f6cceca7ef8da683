// What a written list keeps over the real POSIX operations: exactly the attributes it had (none
// added from its folder, none lost that the user cannot see), its set-ID bits and file
// capabilities, its file flags; and where a replacement cannot give all of that, or cannot
// tell that it did, the list is written in place instead.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "file_system_fixture.h"
#include "system_call_shim.h"

namespace zorbalin::window {
namespace {

using namespace testing;

// The bytes of security.capability giving cap_net_raw, effective and permitted.
std::string netRawCapability() {
    const std::uint32_t words[5] = {0x02000001u /* revision 2, effective */, 1u << 13 /* cap_net_raw */, 0, 0, 0};
    return std::string(reinterpret_cast<const char*>(words), sizeof words);
}

int flagsOf(const QString& at) {
    const int fd = ::open(QFile::encodeName(at).constData(), O_RDONLY | O_CLOEXEC);
    int flags = -1;
    if (fd >= 0 && ioctl(fd, FS_IOC_GETFLAGS, &flags) != 0) flags = -1;
    if (fd >= 0) ::close(fd);
    return flags;
}

bool setFlags(const QString& at, int flags) {
    const int fd = ::open(QFile::encodeName(at).constData(), O_RDONLY | O_CLOEXEC);
    const bool set = fd >= 0 && ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    if (fd >= 0) ::close(fd);
    return set;
}

// The folder gives new files an access list that shuts "nobody" out: the replacement must not
// keep it, for the list had none.
TEST_F(FileSystemTest, AnAccessListTheFolderGivesIsNotAdded) {
    const std::string acl = accessListDenying(kNobody);
    if (setxattr(QFile::encodeName(dir.path()).constData(), "system.posix_acl_default", acl.data(), acl.size(), 0) != 0) {
        GTEST_SKIP() << "this file system keeps no access lists: " << std::strerror(errno);
    }
    const QString list = file("list.txt", "a\r\n\r\nb");
    ASSERT_EQ(removexattr(QFile::encodeName(list).constData(), "system.posix_acl_access"), 0);
    ASSERT_EQ(chmod(QFile::encodeName(list).constData(), 0644), 0);
    const struct stat before = statusOf(list);
    const Method expected = plainWrite(list);
    ASSERT_TRUE(readAndWrite(list, u"a\r\nb"));
    EXPECT_EQ(methodOf(before, statusOf(list)), expected);
    EXPECT_EQ(attribute(list, "system.posix_acl_access"), "<none>");
    EXPECT_EQ(statusOf(list).st_mode & 07777, 0644u);
}

// File flags a user sets with chattr: no dump (d), no access times (A).
TEST_F(FileSystemTest, FileFlagsAreKept) {
    const QString list = file("list.txt", "a\r\n\r\nb");
    const int flags = flagsOf(list);
    if (flags < 0 || !setFlags(list, flags | FS_NODUMP_FL | FS_NOATIME_FL)) {
        GTEST_SKIP() << "this file system keeps no file flags: " << std::strerror(errno);
    }
    const struct stat before = statusOf(list);
    const Method expected = plainWrite(list);
    ASSERT_TRUE(readAndWrite(list, u"a\r\nb"));
    EXPECT_EQ(methodOf(before, statusOf(list)), expected);
    EXPECT_EQ(flagsOf(list) & (FS_NODUMP_FL | FS_NOATIME_FL), FS_NODUMP_FL | FS_NOATIME_FL);
}

// Where the replacement cannot copy something, or the system takes it without applying it
// (which only reading it back tells), the list is written in place and keeps it all.
TEST_F(FileSystemTest, WhatAReplacementCannotKeepMeansInPlace) {
    const QString probe = file("probe", "");
    if (plainWrite(probe) != Method::Replaced) GTEST_SKIP() << "this user writes every list in place";
    const struct {
        const char* call;
        int error;
        std::function<void(const QString&)> give;  // what the list has
        std::function<void(const QString&)> check;  // ... and still has
    } cases[] = {
        {"flistxattr", EIO, [](const QString& at) { setAttribute(at, "user.origin", "teacher"); },
         [](const QString& at) { EXPECT_EQ(attribute(at, "user.origin"), "teacher"); }},
        // The new file has an access list from its folder, which the list's own must replace.
        {"fsetxattr", EPERM,
         [&](const QString& at) {
             setAttribute(dir.path(), "system.posix_acl_default", accessListDenying(kNobody));
             setAttribute(at, "system.posix_acl_access", accessListDenying(kNobody - 1));
         },
         [&](const QString& at) {
             EXPECT_EQ(attribute(at, "system.posix_acl_access"), accessListDenying(kNobody - 1));
             (void)removexattr(QFile::encodeName(dir.path()).constData(), "system.posix_acl_default");
         }},
        {"setflags", EPERM, [](const QString& at) { ASSERT_TRUE(setFlags(at, flagsOf(at) | FS_NODUMP_FL)); },
         [](const QString& at) { EXPECT_NE(flagsOf(at) & FS_NODUMP_FL, 0); }},
        {"fchmod", 0, [](const QString& at) { ASSERT_EQ(chmod(QFile::encodeName(at).constData(), 0640), 0); },
         [](const QString& at) { EXPECT_EQ(statusOf(at).st_mode & 07777, 0640u); }},
        {"fchown", 0, [](const QString& at) { own(at, kNobody, kNoGroup, 0644); },
         [](const QString& at) { EXPECT_EQ(statusOf(at).st_uid, kNobody); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.call) + (c.error == 0 ? " does nothing" : " fails"));
        const QString list = file("list.txt", "a\r\n\r\nb");
        c.give(list);
        const struct stat before = statusOf(list);
        Status status = done();
        {
            SystemCallShim shim;
            shim.answer(c.call, c.error);
            status = readAndWrite(list, u"a\r\nb");
        }
        ASSERT_TRUE(status) << static_cast<int>(status.problem().code);
        EXPECT_EQ(methodOf(before, statusOf(list)), Method::InPlace);
        EXPECT_EQ(contents(list), "a\r\nb");
        c.check(list);
        EXPECT_EQ(entries(dir.path()), (QStringList{"list.txt", "probe"}));
        QFile::remove(list);
    }
}

TEST_F(FileSystemTest, AFullDiskIsToldAsSuch) {
    for (const bool linked : {false, true}) {
        SCOPED_TRACE(linked ? "in place" : "replaced");
        const QString list = file("list.txt", "a\r\n\r\nb");
        if (linked) hardLink(list, "other-name.txt");
        Status status = done();
        {
            SystemCallShim shim;
            shim.answer("pwrite", ENOSPC);
            status = readAndWrite(list, u"a\r\nb");
        }
        ASSERT_FALSE(status);
        // In place, the copy of the old bytes is the first to meet it.
        EXPECT_EQ(status.problem().code, linked ? ProblemCode::NoRecoveryCopy : ProblemCode::WriteFailed);
        EXPECT_EQ(status.problem().cause, SystemCause::NoSpace);
        EXPECT_EQ(contents(list), "a\r\n\r\nb");
        QFile::remove(path("other-name.txt"));
    }
}

// Attributes only the administrator sees (trusted.*), and what a write clears by itself: the
// set-ID bits (an ordinary user's write) and file capabilities (any write). The administrator
// sets up; "nobody" or the administrator writes a hard-linked list in place.
TEST_F(WriteAsOrdinaryUser, WhatOnlyTheAdministratorSeesOrAWriteClearsIsKeptOrTold) {
    const struct {
        const char* name;
        bool asNobody;
        uid_t owner;
        mode_t mode;
        const char* attribute;  // set by the administrator, or none
        std::string value;
        long lost;  // told as lost, or 0
    } cases[] = {
        {"trusted attribute nobody cannot see", true, kNobody, 0644, "trusted.origin", "school", 0},
        {"own set-user-ID file", true, kNobody, 04755, nullptr, "", 0},
        {"own set-group-ID file", true, kNobody, 02775, nullptr, "", 0},
        {"set-user-ID of another owner, group-writable", true, 0, 04775, nullptr, "", kLostSetUserId},
        {"capabilities, as the administrator", false, 0, 0755, "security.capability", netRawCapability(), 0},
        {"capabilities of nobody's own file", true, kNobody, 0755, "security.capability", netRawCapability(),
         kLostCapabilities},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        own(dir.path(), 0, 0, 0777);
        const QString list = file("list.txt", "a\r\n\r\nb");
        hardLink(list, "other-name.txt");
        own(list, c.owner, kNoGroup, c.mode);
        if (c.attribute != nullptr) setAttribute(list, c.attribute, c.value);
        Status status = done();
        const struct stat before = statusOf(list);
        const Method method = c.asNobody ? writeAsNobody(list, u"a\r\nb", status) : [&] {
            status = readAndWrite(list, u"a\r\nb");
            return methodOf(before, statusOf(list));
        }();
        EXPECT_EQ(method, Method::InPlace);
        EXPECT_EQ(contents(list), "a\r\nb");
        if (c.lost == 0) {
            ASSERT_TRUE(status) << static_cast<int>(status.problem().code);
            EXPECT_EQ(statusOf(list).st_mode & 07777, c.mode);
            if (c.attribute != nullptr) {
                EXPECT_EQ(attribute(list, c.attribute), c.value);
            }
        } else {
            ASSERT_FALSE(status);
            EXPECT_EQ(status.problem().code, ProblemCode::SpecialPermissionsLost);
            EXPECT_EQ(status.problem().number, c.lost);
        }
        EXPECT_TRUE(recoveryCopies().isEmpty());
        QFile::remove(list);
        QFile::remove(path("other-name.txt"));
    }
}

}  // namespace
}  // namespace zorbalin::window
