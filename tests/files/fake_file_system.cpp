#include "fake_file_system.h"

#include <algorithm>
#include <cstring>

namespace zorbalin::files::testing {
namespace {

std::u16string wide(std::string_view text) { return {text.begin(), text.end()}; }

Problem systemProblem(SystemCause cause, std::u16string detail) {
    Problem problem;
    problem.cause = cause;
    problem.detail = std::move(detail);
    return problem;
}

Problem notFound() { return systemProblem(SystemCause::NotFound, u"not found"); }

}  // namespace

FileFacts factsOf(const FakeInode& inode) {
    const std::uint64_t size =
        inode.reportedSize >= 0 ? static_cast<std::uint64_t>(inode.reportedSize) : inode.bytes.size();
    return FileFacts{inode.kind, FileStamp{1, inode.id, size, inode.modified, inode.modified},
                     inode.links, inode.markedWritable};
}

namespace {

template <typename Base>
class FakeFileOf : public Base {
public:
    FakeFileOf(FakeFileSystem& system, std::shared_ptr<FakeInode> inode)
        : system_(system), inode_(std::move(inode)) {}
    const FakeInode& inode() const { return *inode_; }

    Result<FileFacts> facts() override {
        if (Status s = system_.step("facts"); !s) return s.takeProblem();
        return factsOf(*inode_);
    }
    Result<std::size_t> readAt(std::uint64_t offset, std::span<char> buffer) override {
        if (Status s = system_.step("read"); !s) return s.takeProblem();
        if (offset >= inode_->bytes.size()) return std::size_t{0};
        const std::size_t n = std::min(buffer.size(), inode_->bytes.size() - static_cast<std::size_t>(offset));
        std::memcpy(buffer.data(), inode_->bytes.data() + offset, n);
        return n;
    }
    // A failing write stores the first half of its bytes, as a full disk does.
    Status writeAt(std::uint64_t offset, std::string_view bytes) override {
        Status s = system_.step("write");
        const std::string_view stored = s ? bytes : bytes.substr(0, system_.failedWritesStoreHalf ? bytes.size() / 2 : 0);
        if (stored.empty()) return s;
        std::string& content = inode_->bytes;
        const auto at = static_cast<std::size_t>(offset);
        if (content.size() < at + stored.size()) content.resize(at + stored.size());
        content.replace(at, stored.size(), stored);
        inode_->modified = ++system_.clock;
        return s;
    }
    // Room beyond the end, the size unchanged.
    Status reserve(std::uint64_t) override { return system_.step("reserve"); }
    Status truncate(std::uint64_t size) override {
        if (Status s = system_.step("truncate"); !s) return s;
        inode_->bytes.resize(static_cast<std::size_t>(size));
        inode_->durable.resize(static_cast<std::size_t>(size));
        inode_->modified = ++system_.clock;
        return done();
    }
    Status flush() override {
        if (Status s = system_.step("flush"); !s) return s;
        inode_->durable = inode_->bytes;
        return done();
    }
    DiskSpace space() override { return system_.space; }
    SpecialPermissions specialPermissions() override { return {}; }
    SpecialPermissions putBack(const SpecialPermissions&) override { return {}; }

protected:
    FakeFileSystem& system_;
    std::shared_ptr<FakeInode> inode_;
};

using FakeOpenFile = FakeFileOf<OpenFile>;

// "/lists" or "/state": names in one of the file system's maps.
class FakeFolder final : public Folder {
public:
    FakeFolder(FakeFileSystem& system, Files& files, Files& durable, std::u16string path, bool writable)
        : system_(system), files_(files), durable_(durable), path_(std::move(path)), writable_(writable) {}

    std::u16string pathOf(std::u16string_view name) override { return path_ + u"/" + std::u16string(name); }
    Result<FileFacts> factsOf(std::u16string_view name) override {
        if (Status s = system_.step("factsOf"); !s) return s.takeProblem();
        const auto it = files_.find(std::u16string(name));
        if (it == files_.end()) return notFound();
        return testing::factsOf(*it->second);
    }
    bool userMayWrite(std::u16string_view name) override {
        const auto it = files_.find(std::u16string(name));
        return it != files_.end() && it->second->userMayWrite;
    }
    bool newFileCouldKeepAllOf(OpenFile& file) override {
        return !dynamic_cast<FakeOpenFile&>(file).inode().attributesHidden;
    }
    Result<std::unique_ptr<OpenFile>> open(std::u16string_view name, OpenMode mode) override {
        if (mode == OpenMode::CreateNew || mode == OpenMode::CreateNewOrdinary) {
            if (Status s = system_.step("createNew"); !s) return s.takeProblem();
            if (!writable_) return injectedProblem(SystemCause::AccessDenied, "folder");
            auto& slot = files_[std::u16string(name)];
            if (slot) return systemProblem(SystemCause::Other, u"exists");
            slot = std::make_shared<FakeInode>();
            slot->id = system_.nextId++;
            return std::unique_ptr<OpenFile>(std::make_unique<FakeOpenFile>(system_, slot));
        }
        if (mode == OpenMode::ReadWrite) {
            if (Status s = system_.step("openForWriting"); !s) return s.takeProblem();
        }
        const auto it = files_.find(std::u16string(name));
        if (it == files_.end()) return notFound();
        if (mode == OpenMode::ReadWrite && it->second->lockedElsewhere) {
            return injectedProblem(SystemCause::InUse, "lock");
        }
        return std::unique_ptr<OpenFile>(std::make_unique<FakeOpenFile>(system_, it->second));
    }
    Status keepMetadata(OpenFile& from, OpenFile&) override {
        if (Status s = system_.step("keepMetadata"); !s) return s;
        if (dynamic_cast<FakeOpenFile&>(from).inode().keepsMetadata) return done();
        return injectedProblem(SystemCause::AccessDenied, "owner");
    }
    // Flushes the folder after the rename, as the platforms do.
    Status replace(std::u16string_view from, std::u16string_view to) override {
        if (Status s = system_.step("replace"); !s) return s;
        auto moved = files_.at(std::u16string(from));
        files_.erase(std::u16string(from));
        files_[std::u16string(to)] = moved;
        durable_ = files_;
        return done();
    }
    // Removing is cleaning up: never failed on purpose.
    Status remove(std::u16string_view name) override {
        files_.erase(std::u16string(name));
        return done();
    }
    Result<std::vector<std::u16string>> names() override {
        std::vector<std::u16string> names;
        for (const auto& entry : files_) names.push_back(entry.first);
        return names;
    }
    Status flush() override {
        if (Status s = system_.step("flushFolder"); !s) return s;
        durable_ = files_;
        return done();
    }

private:
    FakeFileSystem& system_;
    Files& files_;
    Files& durable_;
    std::u16string path_;
    bool writable_;
};

}  // namespace

Problem injectedProblem(SystemCause cause, std::string_view operation) {
    return systemProblem(cause, u"injected " + wide(operation));
}

std::shared_ptr<FakeInode> FakeFileSystem::add(std::u16string name, std::string bytes) {
    auto inode = std::make_shared<FakeInode>();
    inode->id = nextId++;
    inode->durable = bytes;
    inode->bytes = std::move(bytes);
    inode->modified = ++clock;
    durableFolder[name] = inode;
    folder[std::move(name)] = inode;
    return inode;
}

void FakeFileSystem::change(FakeInode& inode, std::string bytes) {
    inode.bytes = std::move(bytes);
    inode.modified = ++clock;
}

namespace {

FakeFileSystem disk(const FakeFileSystem& system, bool onlyDurable) {
    FakeFileSystem after;
    after.nextId = system.nextId;
    after.clock = system.clock + 1;
    const auto keep = [&](const Files& names, Files& into) {
        for (const auto& [name, inode] : names) {
            auto copy = std::make_shared<FakeInode>(*inode);
            if (onlyDurable) copy->bytes = copy->durable;
            copy->durable = copy->bytes;
            into[name] = copy;
        }
    };
    keep(onlyDurable ? system.durableFolder : system.folder, after.folder);
    keep(onlyDurable ? system.durableRecovery : system.recovery, after.recovery);
    after.durableFolder = after.folder;
    after.durableRecovery = after.recovery;
    return after;
}

}  // namespace

FakeFileSystem FakeFileSystem::afterKill() const { return disk(*this, false); }
FakeFileSystem FakeFileSystem::afterPowerFailure() const { return disk(*this, true); }

Status FakeFileSystem::step(const std::string& name) {
    const int index = static_cast<int>(log.size());
    log.push_back(name);
    if (before) before(name);
    const bool failing = index == failAt || (failFrom >= 0 && index >= failFrom);
    if (!failing) return done();
    if (throwInstead) throw std::bad_alloc();
    return injectedProblem(failFrom >= 0 && index > failFrom ? SystemCause::Other : cause, name);
}

Result<OpenedFile> FakeFileSystem::openForReading(std::u16string_view path) {
    if (Status s = step("open"); !s) return s.takeProblem();
    if (!path.starts_with(u"/lists/")) return notFound();
    const auto it = folder.find(std::u16string(path.substr(7)));
    if (it == folder.end()) return notFound();
    if (!readable) return injectedProblem(SystemCause::AccessDenied, "open");
    return OpenedFile{std::make_unique<FakeOpenFile>(*this, it->second), u"/lists", it->first};
}

Result<std::unique_ptr<Folder>> FakeFileSystem::openFolder(std::u16string_view path) {
    if (Status s = step("openFolder"); !s) return s.takeProblem();
    if (path != u"/lists") return notFound();
    return std::unique_ptr<Folder>(
        std::make_unique<FakeFolder>(*this, folder, durableFolder, u"/lists", folderWritable));
}

Result<std::unique_ptr<Folder>> FakeFileSystem::openRecoveryFolder() {
    if (Status s = step("openRecovery"); !s) return s.takeProblem();
    if (!recoveryAvailable) return injectedProblem(SystemCause::AccessDenied, "recovery");
    return std::unique_ptr<Folder>(
        std::make_unique<FakeFolder>(*this, recovery, durableRecovery, u"/state", true));
}

}  // namespace zorbalin::files::testing
