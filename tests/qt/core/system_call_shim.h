// Stands in for a few C library calls of this test program, so that a test can see what the
// file operations asked of the system, in order, and make a call fail, or succeed doing
// nothing, as a file system might. Calls pass straight through unless a shim is alive.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace zorbalin::window::testing {

// fsync, pwrite, ftruncate, fallocate, fchmod, fchown, flistxattr, fsetxattr, renameat
// (on the folder's descriptor), and "setflags" (ioctl FS_IOC_SETFLAGS).
struct SystemCall {
    std::string name;
    dev_t device = 0;  // of the descriptor's file
    ino_t inode = 0;
    friend bool operator==(const SystemCall&, const SystemCall&) = default;
};

class SystemCallShim {
public:
    SystemCallShim();
    ~SystemCallShim();
    SystemCallShim(const SystemCallShim&) = delete;
    SystemCallShim& operator=(const SystemCallShim&) = delete;

    // From now on, calls of this name fail with `error`; with error 0 they report success and
    // do nothing.
    void answer(const std::string& name, int error) { answers_.push_back({name, error}); }
    const std::vector<SystemCall>& calls() const { return calls_; }

    // Used by the stand-ins: logs the call and tells whether (and how) it is answered.
    bool answered(const char* name, int fd, int& error);

private:
    struct Answer {
        std::string name;
        int error;
    };
    std::vector<Answer> answers_;
    std::vector<SystemCall> calls_;
};

}  // namespace zorbalin::window::testing
