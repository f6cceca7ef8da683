#include "system_call_shim.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <linux/fs.h>
#include <stdio.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <cstdarg>

namespace zorbalin::window::testing {
namespace {

SystemCallShim* active = nullptr;

template <typename Function>
Function real(const char* name) {
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

}  // namespace

SystemCallShim::SystemCallShim() { active = this; }
SystemCallShim::~SystemCallShim() { active = nullptr; }

bool SystemCallShim::answered(const char* name, int fd, int& error) {
    struct stat status {};
    if (fstat(fd, &status) != 0) status = {};
    calls_.push_back({name, status.st_dev, status.st_ino});
    for (const Answer& answer : answers_) {
        if (answer.name == name) {
            error = answer.error;
            return true;
        }
    }
    return false;
}

}  // namespace zorbalin::window::testing

namespace {

using zorbalin::window::testing::active;

// Runs the real call unless the shim answers it: then -1 with errno, or 0 (success, nothing done).
template <typename Real, typename... Args>
auto through(const char* name, int fd, Real real, Args... args) -> decltype(real(fd, args...)) {
    int error = 0;
    if (active != nullptr && active->answered(name, fd, error)) {
        if (error == 0) return 0;
        errno = error;
        return -1;
    }
    return real(fd, args...);
}

}  // namespace

#define ZORBALIN_REAL(name) zorbalin::window::testing::real<decltype(&::name)>(#name)

extern "C" {

int fsync(int fd) { return through("fsync", fd, ZORBALIN_REAL(fsync)); }
ssize_t pwrite(int fd, const void* bytes, size_t count, off_t offset) {
    return through("pwrite", fd, ZORBALIN_REAL(pwrite), bytes, count, offset);
}
int ftruncate(int fd, off_t size) __THROW { return through("ftruncate", fd, ZORBALIN_REAL(ftruncate), size); }
int fallocate(int fd, int mode, off_t offset, off_t size) {
    return through("fallocate", fd, ZORBALIN_REAL(fallocate), mode, offset, size);
}
int fchmod(int fd, mode_t mode) __THROW { return through("fchmod", fd, ZORBALIN_REAL(fchmod), mode); }
int fchown(int fd, uid_t owner, gid_t group) __THROW { return through("fchown", fd, ZORBALIN_REAL(fchown), owner, group); }
ssize_t flistxattr(int fd, char* list, size_t size) __THROW {
    return through("flistxattr", fd, ZORBALIN_REAL(flistxattr), list, size);
}
int fsetxattr(int fd, const char* name, const void* value, size_t size, int flags) __THROW {
    return through("fsetxattr", fd, ZORBALIN_REAL(fsetxattr), name, value, size, flags);
}
int renameat(int fromFolder, const char* from, int toFolder, const char* to) __THROW {
    return through("renameat", fromFolder, ZORBALIN_REAL(renameat), from, toFolder, to);
}
int ioctl(int fd, unsigned long request, ...) __THROW {
    va_list arguments;
    va_start(arguments, request);
    void* argument = va_arg(arguments, void*);
    va_end(arguments);
    using Ioctl = int (*)(int, unsigned long, void*);
    static const auto realIoctl = zorbalin::window::testing::real<Ioctl>("ioctl");
    if (request != FS_IOC_SETFLAGS) return realIoctl(fd, request, argument);
    return through("setflags", fd, realIoctl, request, argument);
}

}  // extern "C"
