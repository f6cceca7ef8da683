#include "textio/write_back.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <string>
#include <variant>
#include <vector>

namespace zorbalin::textio {
namespace {

struct MethodCase {
    const char* name;
    WriteTarget target;
    WriteMethod method;

    friend void PrintTo(const MethodCase& c, std::ostream* out) { *out << c.name; }
};

WriteTarget existing() { return WriteTarget{.exists = true}; }

WriteTarget with(auto change) {
    WriteTarget target = existing();
    change(target);
    return target;
}

class ChooseWriteMethod : public ::testing::TestWithParam<MethodCase> {};

TEST_P(ChooseWriteMethod, PicksTheSafestWayThatLosesNothing) {
    EXPECT_EQ(chooseWriteMethod(GetParam().target), GetParam().method);
}

INSTANTIATE_TEST_SUITE_P(
    WriteBack, ChooseWriteMethod,
    ::testing::Values(
        MethodCase{"PlainFileIsReplaced", existing(), WriteMethod::AtomicReplace},
        MethodCase{"NewFileIsCreatedByReplacement", WriteTarget{.exists = false},
                   WriteMethod::AtomicReplace},
        MethodCase{"HardLinkedIsWrittenInPlace", with([](auto& w) { w.linkCount = 2; }),
                   WriteMethod::InPlace},
        MethodCase{"UnwritableFolderIsWrittenInPlace",
                   with([](auto& w) { w.folderWritable = false; }), WriteMethod::InPlace},
        MethodCase{"OwnerThatCannotBeKeptIsWrittenInPlace",
                   with([](auto& w) { w.replacementKeepsOwner = false; }), WriteMethod::InPlace},
        MethodCase{"ReadOnlyIsRefused", with([](auto& w) { w.userMayWrite = false; }),
                   WriteMethod::RefuseReadOnly},
        MethodCase{"ReadOnlyInUnwritableFolderIsRefused", with([](auto& w) {
                       w.userMayWrite = false;
                       w.folderWritable = false;
                   }),
                   WriteMethod::RefuseReadOnly},
        MethodCase{"ReadOnlyHardLinkIsRefused", with([](auto& w) {
                       w.userMayWrite = false;
                       w.linkCount = 3;
                   }),
                   WriteMethod::RefuseReadOnly},
        MethodCase{"FolderIsRefused", with([](auto& w) { w.isRegularFile = false; }),
                   WriteMethod::RefuseNotAFile}),
    [](const auto& test) { return std::string(test.param.name); });

// A file in memory that can fail one chosen operation, the way a full disk or a size
// limit does: a failing write stores the first half of its bytes before it gives up.
class FlakyFile final : public InPlaceFile {
public:
    explicit FlakyFile(std::string content) : content_(std::move(content)) {}

    int failAt = -1;             // the index of the changing operation that fails once
    bool failEveryWrite = false;  // also the writes that would restore the old bytes
    std::vector<std::string> log;

    const std::string& content() const { return content_; }

    bool readAll(std::string& bytes) override {
        bytes = content_;
        return true;
    }
    bool reserve(std::uint64_t size) override {
        if (fails("reserve")) return false;
        if (size > content_.size()) content_.resize(static_cast<std::size_t>(size), '\0');  // as posix_fallocate does
        return true;
    }
    bool writeAt(std::uint64_t offset, std::string_view bytes) override {
        const bool failing = fails("write") || failEveryWrite;
        const std::string_view stored = failing ? bytes.substr(0, bytes.size() / 2) : bytes;
        const auto at = static_cast<std::size_t>(offset);
        if (content_.size() < at + stored.size()) content_.resize(at + stored.size());
        content_.replace(at, stored.size(), stored);
        return !failing;
    }
    bool flush() override { return !fails("flush"); }
    bool truncate(std::uint64_t size) override {
        if (fails("truncate")) return false;
        content_.resize(static_cast<std::size_t>(size));
        return true;
    }
    std::u16string errorText() const override { return u"No space left on device"; }

private:
    bool fails(const char* operation) {
        log.emplace_back(operation);
        return static_cast<int>(log.size()) - 1 == failAt;
    }

    std::string content_;
};

struct SizeCase {
    const char* name;
    std::string oldBytes;
    std::string newBytes;

    friend void PrintTo(const SizeCase& c, std::ostream* out) { *out << c.name; }
};

class WriteInPlace : public ::testing::TestWithParam<SizeCase> {};

TEST_P(WriteInPlace, LeavesExactlyTheNewBytes) {
    FlakyFile file(GetParam().oldBytes);
    EXPECT_TRUE(std::holds_alternative<InPlaceWritten>(writeInPlace(file, GetParam().newBytes)));
    EXPECT_EQ(file.content(), GetParam().newBytes);
    // Room is reserved before anything is overwritten, and only when it is needed.
    const bool longer = GetParam().newBytes.size() > GetParam().oldBytes.size();
    EXPECT_EQ(!file.log.empty() && file.log.front() == "reserve", longer);
}

TEST_P(WriteInPlace, AFailureAtAnyStepLeavesTheOriginalBytes) {
    FlakyFile probe(GetParam().oldBytes);
    writeInPlace(probe, GetParam().newBytes);
    const std::size_t steps = probe.log.size();
    ASSERT_GE(steps, 3u);

    for (std::size_t step = 0; step < steps; ++step) {
        FlakyFile file(GetParam().oldBytes);
        file.failAt = static_cast<int>(step);
        const InPlaceOutcome outcome = writeInPlace(file, GetParam().newBytes);
        const auto* failed = std::get_if<InPlaceFailed>(&outcome);
        ASSERT_NE(failed, nullptr) << "step " << probe.log[step];
        EXPECT_TRUE(failed->originalRestored) << "step " << probe.log[step];
        EXPECT_EQ(failed->detail, u"No space left on device");
        EXPECT_EQ(file.content(), GetParam().oldBytes) << "step " << probe.log[step];
    }
}

INSTANTIATE_TEST_SUITE_P(
    WriteBack, WriteInPlace,
    ::testing::Values(SizeCase{"Shorter", "a\r\n\r\n\r\nb\r\n", "a\r\nb"},
                      SizeCase{"SameLength", "abc\r\n", "xyz\r\n"},
                      SizeCase{"Longer", "x\xe2\x80\xa9y", "x\r\ny\r\nz\r\nlonger"},
                      SizeCase{"FromEmpty", "", "a\r\nb"},
                      SizeCase{"ToEmpty", "a\r\n", ""}),
    [](const auto& test) { return std::string(test.param.name); });

TEST(WriteInPlace, SaysWhenTheOriginalCouldNotBePutBack) {
    FlakyFile file("first\r\nsecond\r\n");
    file.failEveryWrite = true;
    const InPlaceOutcome outcome = writeInPlace(file, "tidied text");
    const auto* failed = std::get_if<InPlaceFailed>(&outcome);
    ASSERT_NE(failed, nullptr);
    EXPECT_FALSE(failed->originalRestored);
}

}  // namespace
}  // namespace zorbalin::textio
