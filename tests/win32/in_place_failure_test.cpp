// A write in place that fails part-way must leave the file's old bytes: the real file
// operations, with one step made to fail.
#include "handle_in_place_file.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <variant>

#include "temporary_folder.h"

namespace zorbalin::win32 {
namespace {

using testing::readBytes;
using testing::TemporaryFolder;
using testing::writeBytes;

enum class Step { Reserve, Write, Flush, Truncate };

// Passes every call on to the real file; the chosen step fails after it has done half of
// its work where it has any (a write stops in the middle of the new bytes).
class FailingFile : public HandleInPlaceFile {
public:
    FailingFile(HANDLE file, Step failing) : HandleInPlaceFile(file), failing_(failing) {}

    bool reserve(std::uint64_t size) override {
        if (failing_ == Step::Reserve) return HandleInPlaceFile::reserve(size / 2) && injected();
        return HandleInPlaceFile::reserve(size);
    }
    bool writeAt(std::uint64_t offset, std::string_view bytes) override {
        if (failing_ == Step::Write && !restoring_) {
            restoring_ = true;  // the next write is the restore, which must work
            return HandleInPlaceFile::writeAt(offset, bytes.substr(0, bytes.size() / 2)) &&
                   injected();
        }
        return HandleInPlaceFile::writeAt(offset, bytes);
    }
    bool flush() override {
        if (failing_ == Step::Flush && !std::exchange(flushFailed_, true)) return injected();
        return HandleInPlaceFile::flush();
    }
    bool truncate(std::uint64_t size) override {
        if (failing_ == Step::Truncate && !std::exchange(truncateFailed_, true)) {
            return HandleInPlaceFile::truncate(size) && injected();  // truncated, then "failed"
        }
        return HandleInPlaceFile::truncate(size);
    }
    std::u16string errorText() const override { return u"injected"; }

private:
    static bool injected() { return false; }

    Step failing_;
    bool restoring_ = false;
    bool flushFailed_ = false;
    bool truncateFailed_ = false;
};

TEST(InPlaceFailureTest, OldBytesComeBackWheneverAStepFails) {
    const std::string oldBytes = "first\r\nsecond\r\nthird\r\n";
    const struct {
        Step step;
        std::string newBytes;
    } cases[] = {
        {Step::Reserve, oldBytes + oldBytes + "longer"},
        {Step::Write, "one\r\ntwo\r\n"},
        {Step::Write, oldBytes + "and more"},
        {Step::Flush, "x"},
        {Step::Truncate, "shorter\r\n"},
    };
    TemporaryFolder folder;
    const std::wstring path = folder.file(L"list.txt");
    for (const auto& test : cases) {
        SCOPED_TRACE(static_cast<int>(test.step));
        writeBytes(path, oldBytes);
        const HANDLE handle = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(handle, INVALID_HANDLE_VALUE);
        FailingFile file(handle, test.step);
        const textio::InPlaceOutcome outcome = textio::writeInPlace(file, test.newBytes);
        CloseHandle(handle);
        const auto* failed = std::get_if<textio::InPlaceFailed>(&outcome);
        ASSERT_NE(failed, nullptr);
        EXPECT_TRUE(failed->originalRestored);
        EXPECT_EQ(readBytes(path), oldBytes);
    }
}

TEST(InPlaceFailureTest, RealFileOperationsWriteAndShrink) {
    TemporaryFolder folder;
    const std::wstring path = folder.file(L"list.txt");
    writeBytes(path, "a\r\nb\r\n");
    const HANDLE handle = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(handle, INVALID_HANDLE_VALUE);
    HandleInPlaceFile file(handle);
    EXPECT_TRUE(std::holds_alternative<textio::InPlaceWritten>(
        textio::writeInPlace(file, "a much longer list\r\n")));
    EXPECT_TRUE(std::holds_alternative<textio::InPlaceWritten>(textio::writeInPlace(file, "z")));
    CloseHandle(handle);
    EXPECT_EQ(readBytes(path), "z");
}

}  // namespace
}  // namespace zorbalin::win32
