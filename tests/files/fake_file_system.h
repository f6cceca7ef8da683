// The platform's file operations in memory, for the procedure's tests: one folder "/lists"
// with files by name, the recovery folder "/state", every operation logged by name so that a
// test can fail (or throw at) any one of them, and a hook before each. What a power failure
// would leave is kept beside: the bytes as of each file's last flush (a cut reaches the disk
// at once, as a journaled size change may before the bytes written ahead of it), and the
// names as of each folder's last flush.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "files/file_system.h"

namespace zorbalin::files::testing {

struct FakeInode {
    std::string bytes;
    std::string durable;  // what a power failure would leave
    FileKind kind = FileKind::RegularFile;
    std::uint64_t id = 0;
    std::int64_t modified = 0;
    std::uint64_t links = 1;
    bool markedWritable = true;
    bool userMayWrite = true;
    bool keepsMetadata = true;      // a replacement can be given all of it
    bool attributesHidden = false;  // ... this user cannot even tell: known before making one
    bool lockedElsewhere = false;   // another program holds it open for writing
    std::int64_t reportedSize = -1;  // what it says its size is, when not its real size
};

using Files = std::map<std::u16string, std::shared_ptr<FakeInode>>;

class FakeFileSystem final : public FileSystem {
public:
    Files folder;    // "/lists"
    Files recovery;  // "/state"
    Files durableFolder;    // the names as of the last flush of each folder
    Files durableRecovery;
    DiskSpace space;
    bool folderWritable = true;
    bool recoveryAvailable = true;
    bool readable = true;

    std::vector<std::string> log;
    int failAt = -1;                 // index in the log of the operation that fails
    bool throwInstead = false;       // ... or throws std::bad_alloc
    int failFrom = -1;               // every operation from this index on fails
    SystemCause cause = SystemCause::NoSpace;
    bool failedWritesStoreHalf = true;  // as a disk that fills up part-way; false: nothing
    std::function<void(const std::string&)> before;  // called before each operation

    std::shared_ptr<FakeInode> add(std::u16string name, std::string bytes);
    std::string bytesOf(const std::u16string& name) const { return folder.at(name)->bytes; }
    // Changes bytes as another program would: new time.
    void change(FakeInode& inode, std::string bytes);

    // Runs operation `name`: logs it, calls the hook, and fails or throws where asked.
    Status step(const std::string& name);

    // The disk as the process killed now would leave it, and as a power failure now would:
    // the durable names and bytes.
    FakeFileSystem afterKill() const;
    FakeFileSystem afterPowerFailure() const;

    Result<OpenedFile> openForReading(std::u16string_view path) override;
    Result<std::unique_ptr<Folder>> openFolder(std::u16string_view path) override;
    Result<std::unique_ptr<Folder>> openRecoveryFolder() override;

    std::uint64_t nextId = 100;
    std::int64_t clock = 1;
};

FileFacts factsOf(const FakeInode& inode);

// An operation that failed on purpose.
Problem injectedProblem(SystemCause cause, std::string_view operation);

}  // namespace zorbalin::files::testing
