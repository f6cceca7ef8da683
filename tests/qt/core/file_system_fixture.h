// What the suites of the POSIX file operations share: a temporary folder for the files and one
// for the recovery copies with the procedure over the real operations, acting as "nobody",
// a wrapper that lets a test step in before any operation (to kill the process there, or to
// act as another program would), and small disks of their own mounted for a test.
#pragma once

#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/types.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "file_system.h"
#include "qstring_u16.h"

namespace zorbalin::window::testing {

QByteArray contents(const QString& path);
void writeBytes(const QString& path, const QByteArray& bytes);
struct stat statusOf(const QString& path);
QStringList entries(const QString& folder);
void own(const QString& at, uid_t owner, gid_t group, mode_t mode);
// An extended attribute's value, or "<none>".
std::string attribute(const QString& at, const char* name);
// Sets one, or fails the test.
void setAttribute(const QString& at, const char* name, const std::string& value);

constexpr uid_t kNobody = 65534;
constexpr gid_t kNoGroup = 65534;

// The bytes of a POSIX access list (system.posix_acl_access or _default): owner rw, `denied`
// nothing, group r, mask r, others r.
std::string accessListDenying(uid_t denied);

// How a successful write went, seen from the file system.
enum class Method { Replaced, InPlace, NotWritten };
Method methodOf(const struct stat& before, const struct stat& after);

struct FileSystemTest : ::testing::Test {
    QTemporaryDir dir;
    QTemporaryDir state;
    PosixFileSystem fileSystem{state.path() + QStringLiteral("/zorbalin")};
    NoProgress progress;

    QString path(const char* name) const { return dir.filePath(QString::fromUtf8(name)); }
    QString file(const char* name, const QByteArray& bytes) {
        const QString at = path(name);
        writeBytes(at, bytes);
        return at;
    }
    void hardLink(const QString& from, const char* name);
    Result<files::LoadedFile> read(const QString& at);
    files::LoadedFile readOrFail(const QString& at);
    Status write(files::LoadedFile& loaded, std::u16string_view text);
    // Reads the file and writes text back into it.
    Status readAndWrite(const QString& at, std::u16string_view text);
    QStringList recoveryCopies() const { return entries(fileSystem.recoveryFolder()); }
    // How a plain file at `at` is written: replaced where this user could give a new file all
    // it has, in place where not even all of it can be seen.
    Method plainWrite(const QString& at);
};

// The administrator acts as the unprivileged user "nobody" (no supplementary groups) until
// this is destroyed, so that permission checks apply as they do to an ordinary user.
class ActingAsNobody {
public:
    ActingAsNobody();
    ~ActingAsNobody();
    ActingAsNobody(const ActingAsNobody&) = delete;
    ActingAsNobody& operator=(const ActingAsNobody&) = delete;
    bool acting() const { return acting_; }

private:
    std::vector<gid_t> groups_;
    bool acting_ = false;
};

// Files of other users and folders the user may not write: set up as the administrator,
// written as "nobody".
class WriteAsOrdinaryUser : public FileSystemTest {
protected:
    void SetUp() override;
    Method writeAsNobody(const QString& at, std::u16string_view text, Status& status);
};

// Told before each step of the file procedure: what (open, read, write, flush, truncate,
// reserve, remove, replace, flushFolder) and on which name.
using StepHook = std::function<void(std::string_view step, std::u16string_view name)>;

// Passes everything on to the real operations, calling the hook first.
class ObservedFileSystem final : public files::FileSystem {
public:
    ObservedFileSystem(files::FileSystem& real, StepHook hook) : real_(real), hook_(std::move(hook)) {}
    Result<files::OpenedFile> openForReading(std::u16string_view path) override;
    Result<std::unique_ptr<files::Folder>> openFolder(std::u16string_view path) override;
    Result<std::unique_ptr<files::Folder>> openRecoveryFolder() override;

private:
    files::FileSystem& real_;
    StepHook hook_;
};

// A small file system of its own, mounted in a temporary folder for one test (the
// administrator only): tmpfs of `bytes`, or btrfs on a loop file of that size.
class ScratchDisk {
public:
    static std::unique_ptr<ScratchDisk> mount(const QString& type, std::uint64_t bytes, std::string& whyNot);
    ~ScratchDisk();
    QString path(const char* name) const { return mounted_.filePath(QString::fromUtf8(name)); }
    QString root() const { return mounted_.path(); }
    // What this user may still write there.
    std::uint64_t available() const;

private:
    QTemporaryDir mounted_;
    QTemporaryDir image_;
};

}  // namespace zorbalin::window::testing
