// The shared file procedure over the Win32 file operations: what needs the platform (the
// read-only attribute, attributes kept by a replacement, hard links, files held open by
// others, links swapped in, long paths). The decisions themselves are tested in tests/files.
#include "file_system.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>

#include "code_pages.h"
#include "temporary_folder.h"
#include "textio/candidate_decoding.h"
#include "wide_text.h"

namespace zorbalin::win32 {
namespace {

using testing::readBytes;
using testing::TemporaryFolder;
using testing::writeBytes;
using textio::FileFormat;
using textio::LineEnding;
using textio::TextEncoding;

struct FileSystemTest : ::testing::Test {
    TemporaryFolder folder;
    Win32FileSystem fileSystem{folder.file(L"recovery")};
    NoProgress progress;

    Result<files::LoadedFile> read(const std::wstring& path) {
        return files::readCandidateFile(fileSystem, fromWide(path), win32CodePages(), progress);
    }
    Status write(files::LoadedFile& loaded, std::u16string_view text) {
        return files::writeCandidateFile(fileSystem, loaded, text, win32CodePages(), progress);
    }
    Status readAndWrite(const std::wstring& path, std::u16string_view text) {
        Result<files::LoadedFile> loaded = read(path);
        if (!loaded) return loaded.takeProblem();
        return write(*loaded, text);
    }
    ProblemCode readProblem(const std::wstring& path) {
        const Result<files::LoadedFile> loaded = read(path);
        return loaded ? ProblemCode::Internal : loaded.problem().code;
    }
    // The names in the folder besides the recovery folder.
    std::size_t fileCount() const {
        const std::vector<std::wstring> names = folder.names();
        return static_cast<std::size_t>(std::count_if(names.begin(), names.end(),
                                                      [](const std::wstring& n) { return n != L"recovery"; }));
    }
};

TEST_F(FileSystemTest, RoundTripsEveryEncodingAndLineEnding) {
    int number = 0;
    for (const TextEncoding encoding : {TextEncoding::Utf8, TextEncoding::Utf8WithBom,
                                        TextEncoding::Utf16LE, TextEncoding::Utf16BE,
                                        TextEncoding::Gb18030}) {
        for (const LineEnding ending : {LineEnding::CrLf, LineEnding::Lf, LineEnding::Cr}) {
            const FileFormat format{encoding, ending};
            const std::wstring path = folder.file(L"list" + std::to_wstring(++number) + L".txt");
            SCOPED_TRACE(number);
            writeBytes(path, *textio::encodeCandidateText(u"张三\r\n李四", format, makeCodePageEncoder()));
            ASSERT_TRUE(readAndWrite(path, u"赵六\r\n钱七"));
            const Result<files::LoadedFile> back = read(path);
            ASSERT_TRUE(back);
            EXPECT_EQ(back->text, u"赵六\r\n钱七");
            EXPECT_EQ(back->format, format);
        }
    }
    EXPECT_EQ(fileCount(), static_cast<std::size_t>(number)) << "a temporary file stayed";
}

TEST_F(FileSystemTest, ReadRefusals) {
    const std::wstring subfolder = folder.file(L"sub");
    ASSERT_TRUE(CreateDirectoryW(subfolder.c_str(), nullptr));
    const std::wstring binary = folder.file(L"binary.dat");
    writeBytes(binary, std::string("\x7F" "ELF\x02\x01\x01\x00\x00\x00\xFF\xFE", 12));
    const std::wstring tooLarge = folder.file(L"large.txt");
    {
        const HANDLE file = CreateFileW(tooLarge.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        LARGE_INTEGER size{};
        size.QuadPart = static_cast<LONGLONG>(textio::kMaxCandidateFileBytes) + 1;
        EXPECT_TRUE(SetFilePointerEx(file, size, nullptr, FILE_BEGIN) && SetEndOfFile(file));
        CloseHandle(file);
    }
    const std::wstring held = folder.file(L"held.txt");
    writeBytes(held, "a\r\nb");
    const HANDLE holder = CreateFileW(held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    const struct {
        std::wstring path;
        ProblemCode code;
    } cases[] = {
        {folder.file(L"missing.txt"), ProblemCode::Missing},
        {folder.file(L"no-folder\\missing.txt"), ProblemCode::Missing},
        {subfolder, ProblemCode::NotAFile},
        {binary, ProblemCode::NotText},
        {tooLarge, ProblemCode::TooLarge},
        {held, ProblemCode::ReadFailed},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(std::string(test.path.begin(), test.path.end()));
        EXPECT_EQ(readProblem(test.path), test.code);
    }
    const Result<files::LoadedFile> sharing = read(held);
    ASSERT_FALSE(sharing);
    EXPECT_EQ(sharing.problem().cause, SystemCause::InUse);
    CloseHandle(holder);
}

TEST_F(FileSystemTest, ReadOnlyFileIsRefusedAndUntouched) {
    const std::wstring path = folder.file(L"locked.txt");
    writeBytes(path, "a\r\n\r\nb\r\n");
    ASSERT_TRUE(SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY));
    const Status status = readAndWrite(path, u"a\r\nb");
    ASSERT_FALSE(status);
    EXPECT_EQ(status.problem().code, ProblemCode::ReadOnly);
    EXPECT_EQ(readBytes(path), "a\r\n\r\nb\r\n");
    EXPECT_EQ(GetFileAttributesW(path.c_str()) & FILE_ATTRIBUTE_READONLY, FILE_ATTRIBUTE_READONLY);
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(FileSystemTest, ReplacementKeepsTheFilesAttributes) {
    const std::wstring path = folder.file(L"hidden.txt");
    writeBytes(path, "a\r\n\r\n");
    ASSERT_TRUE(SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_HIDDEN));
    ASSERT_TRUE(readAndWrite(path, u"a"));
    EXPECT_EQ(readBytes(path), "a");
    EXPECT_EQ(GetFileAttributesW(path.c_str()) & FILE_ATTRIBUTE_HIDDEN, FILE_ATTRIBUTE_HIDDEN);
}

TEST_F(FileSystemTest, HardLinkIsWrittenInPlaceForEveryName) {
    const std::wstring first = folder.file(L"first.txt");
    const std::wstring second = folder.file(L"second.txt");
    writeBytes(first, "a\nb\nc\n");
    ASSERT_TRUE(CreateHardLinkW(second.c_str(), first.c_str(), nullptr)) << GetLastError();
    // Longer than before, so that room is reserved first; then shorter, so that it is cut.
    ASSERT_TRUE(readAndWrite(first, u"alpha\r\nbeta\r\ngamma\r\n"));
    EXPECT_EQ(readBytes(second), "alpha\nbeta\ngamma\n");
    ASSERT_TRUE(readAndWrite(second, u"a"));
    EXPECT_EQ(readBytes(first), "a");
    EXPECT_EQ(fileCount(), 2u);
    EXPECT_TRUE(testing::TemporaryFolder::namesIn(fileSystem.recoveryFolder()).empty());
}

TEST_F(FileSystemTest, FileHeldWithoutSharingKeepsItsBytes) {
    const std::wstring path = folder.file(L"held.txt");
    writeBytes(path, "old\r\n\r\n");
    Result<files::LoadedFile> loaded = read(path);
    ASSERT_TRUE(loaded);
    const HANDLE holder = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    const Status status = write(*loaded, u"new\r\n");
    CloseHandle(holder);
    ASSERT_FALSE(status);
    EXPECT_EQ(status.problem().cause, SystemCause::InUse);
    EXPECT_EQ(readBytes(path), "old\r\n\r\n");
    EXPECT_EQ(fileCount(), 1u) << "the temporary file must be removed";
}

// A file opened to be written in place is kept from other writers until it is closed, as a
// lock would; reading it stays possible.
TEST_F(FileSystemTest, AFileOpenedForWritingIsKeptFromOtherWriters) {
    const std::wstring path = folder.file(L"list.txt");
    writeBytes(path, "a\r\n");
    Result<std::unique_ptr<files::Folder>> opened = fileSystem.openFolder(fromWide(folder.path()));
    ASSERT_TRUE(opened);
    const Result<std::unique_ptr<files::OpenFile>> writing = (*opened)->open(u"list.txt", files::OpenMode::ReadWrite);
    ASSERT_TRUE(writing);
    constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    const HANDLE writer = CreateFileW(path.c_str(), GENERIC_WRITE, kShareAll, nullptr, OPEN_EXISTING, 0, nullptr);
    const DWORD refused = GetLastError();
    if (writer != INVALID_HANDLE_VALUE) CloseHandle(writer);
    EXPECT_EQ(writer, INVALID_HANDLE_VALUE);
    EXPECT_EQ(refused, static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    const HANDLE reader = CreateFileW(path.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_NE(reader, INVALID_HANDLE_VALUE);
    if (reader != INVALID_HANDLE_VALUE) CloseHandle(reader);
}

// Another program changes or swaps the file between the read and the write: nothing is written.
TEST_F(FileSystemTest, AFileChangedSinceItWasReadIsNotWritten) {
    const std::wstring path = folder.file(L"list.txt");
    const std::wstring other = folder.file(L"other.txt");
    for (const bool swapped : {false, true}) {
        SCOPED_TRACE(swapped ? "swapped for another file" : "saved meanwhile");
        writeBytes(path, "a\r\n\r\nb");
        writeBytes(other, "another list\r\n");
        Result<files::LoadedFile> loaded = read(path);
        ASSERT_TRUE(loaded);
        if (swapped) {
            // Renamed away (our handle lets it) and another file put under its name.
            const std::wstring away = folder.file(L"away.txt");
            ASSERT_TRUE(MoveFileW(path.c_str(), away.c_str()));
            ASSERT_TRUE(MoveFileW(other.c_str(), path.c_str()));
        } else {
            // As an editor saves in place, sharing the file with our open handle.
            const HANDLE editor = CreateFileW(path.c_str(), GENERIC_WRITE,
                                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
            ASSERT_NE(editor, INVALID_HANDLE_VALUE);
            DWORD written = 0;
            ASSERT_TRUE(WriteFile(editor, "saved\r\n\r\n", 9, &written, nullptr));
            CloseHandle(editor);
        }
        const Status status = write(*loaded, u"a\r\nb");
        ASSERT_FALSE(status);
        EXPECT_EQ(status.problem().code, ProblemCode::ChangedSinceRead);
        EXPECT_EQ(readBytes(path), swapped ? "another list\r\n" : "saved\r\n\r\n");
    }
}

// A file saved from a save dialog: a new name gets a new file, an existing file is replaced;
// no temporary file stays either way.
TEST_F(FileSystemTest, SavedFileIsWrittenUnderANewNameOrReplacesTheOldOne) {
    const std::wstring path = folder.file(L"抽取记录.txt");
    for (const char* text : {"new", "replaced"}) {
        SCOPED_TRACE(text);
        const std::u16string wide(text, text + std::char_traits<char>::length(text));
        ASSERT_TRUE(files::saveTextFile(fileSystem, fromWide(path), wide,
                                        {TextEncoding::Utf8, LineEnding::CrLf}, win32CodePages(), progress));
        EXPECT_EQ(readBytes(path), text);
        EXPECT_EQ(fileCount(), 1u);
    }
}

TEST_F(FileSystemTest, PathsLongerThanMaxPath) {
    std::wstring deep = folder.path();
    while (deep.size() < 2 * MAX_PATH) {
        deep += L"\\" + std::wstring(60, L'd');
        ASSERT_TRUE(CreateDirectoryW(testing::extended(deep).c_str(), nullptr)) << GetLastError();
    }
    const std::wstring path = deep + L"\\名单.txt";
    writeBytes(testing::extended(path), "x\r\n\r\ny");
    ASSERT_TRUE(readAndWrite(path, u"x\r\ny"));
    const Result<files::LoadedFile> back = read(path);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->text, u"x\r\ny");
}

}  // namespace
}  // namespace zorbalin::win32
