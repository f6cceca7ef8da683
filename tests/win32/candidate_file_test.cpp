#include "candidate_file.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <variant>

#include "code_pages.h"
#include "layout/messages.h"
#include "system_error_text.h"
#include "temporary_folder.h"
#include "textio/candidate_decoding.h"
#include "wide_text.h"

namespace zorbalin::win32 {
namespace {

using layout::FileProblem;
using testing::readBytes;
using testing::TemporaryFolder;
using testing::writeBytes;
using textio::FileFormat;
using textio::LineEnding;
using textio::TextEncoding;

std::u16string messageFor(FileProblem problem, const std::wstring& path,
                          std::u16string_view detail = {}) {
    return layout::candidateFileMessage(problem, fromWide(path), detail);
}

std::u16string readProblem(const std::wstring& path) {
    const CandidateFileRead read = readCandidateFile(path);
    const auto* problem = std::get_if<std::u16string>(&read);
    return problem != nullptr ? *problem : u"<read>";
}

TEST(CandidateFileTest, RoundTripsEveryEncodingAndLineEnding) {
    const TextEncoding encodings[] = {TextEncoding::Utf8, TextEncoding::Utf8WithBom,
                                      TextEncoding::Utf16LE, TextEncoding::Utf16BE,
                                      TextEncoding::Gb18030};
    const LineEnding endings[] = {LineEnding::CrLf, LineEnding::Lf, LineEnding::Cr};
    TemporaryFolder folder;
    int number = 0;
    for (const TextEncoding encoding : encodings) {
        for (const LineEnding ending : endings) {
            const FileFormat format{encoding, ending};
            const std::wstring path = folder.file(L"list" + std::to_wstring(++number) + L".txt");
            SCOPED_TRACE(number);
            // The first write creates the file (moved into place), the second replaces it.
            for (const std::u16string text : {u"张三\r\n李四\r\n王五", u"赵六\r\n\r\n钱七\r\n"}) {
                ASSERT_EQ(writeCandidateFile(path, text, format), u"");
                const CandidateFileRead read = readCandidateFile(path);
                const auto* file = std::get_if<CandidateFile>(&read);
                ASSERT_NE(file, nullptr) << std::get<std::u16string>(read).size();
                EXPECT_EQ(file->text, text);
                EXPECT_EQ(file->format, format);
                EXPECT_EQ(readBytes(path),
                          textio::encodeCandidateText(text, format, makeCodePageEncoder()));
            }
        }
    }
    EXPECT_EQ(folder.names().size(), static_cast<std::size_t>(number)) << "a temporary file stayed";
}

TEST(CandidateFileTest, ReadRefusalsNameTheFile) {
    TemporaryFolder folder;
    const std::wstring missing = folder.file(L"missing.txt");
    const std::wstring subfolder = folder.file(L"sub");
    ASSERT_TRUE(CreateDirectoryW(subfolder.c_str(), nullptr));
    const std::wstring binary = folder.file(L"binary.dat");
    writeBytes(binary, std::string("\x7F" "ELF\x02\x01\x01\x00\x00\x00\xFF\xFE", 12));
    const std::wstring undecodable = folder.file(L"bad.txt");
    writeBytes(undecodable, "abc\xD5\x20\xFF\xFF");
    const std::wstring tooLarge = folder.file(L"large.txt");
    {
        // Measured before it is read: a sparse-looking file of the size is enough.
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
        std::u16string expected;
    } cases[] = {
        {missing, messageFor(FileProblem::Missing, missing)},
        {subfolder, messageFor(FileProblem::NotAFile, subfolder)},
        {binary, messageFor(FileProblem::NotText, binary)},
        {undecodable, messageFor(FileProblem::NotText, undecodable)},
        {tooLarge, messageFor(FileProblem::TooLarge, tooLarge)},
        {held, messageFor(FileProblem::ReadFailed, held, systemErrorText(ERROR_SHARING_VIOLATION))},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(std::string(test.path.begin(), test.path.end()));
        EXPECT_EQ(readProblem(test.path), test.expected);
    }
    CloseHandle(holder);
}

TEST(CandidateFileTest, ReadsLegacyChineseAfterUtf8) {
    TemporaryFolder folder;
    const std::wstring gbk = folder.file(L"gbk.txt");
    writeBytes(gbk, "\xD5\xC5\xC8\xFD\n\xC0\xEE\xCB\xC4\n");
    const CandidateFileRead read = readCandidateFile(gbk);
    ASSERT_TRUE(std::holds_alternative<CandidateFile>(read));
    EXPECT_EQ(std::get<CandidateFile>(read).text, u"张三\r\n李四\r\n");
    EXPECT_EQ(std::get<CandidateFile>(read).format,
              (FileFormat{TextEncoding::Gb18030, LineEnding::Lf}));
}

TEST(CandidateFileTest, ReadOnlyFileIsRefusedAndUntouched) {
    TemporaryFolder folder;
    const std::wstring path = folder.file(L"locked.txt");
    writeBytes(path, "a\r\nb\r\n");
    ASSERT_TRUE(SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(writeCandidateFile(path, u"b\r\n", FileFormat{}),
              messageFor(FileProblem::ReadOnly, path));
    EXPECT_EQ(readBytes(path), "a\r\nb\r\n");
    EXPECT_EQ(GetFileAttributesW(path.c_str()) & FILE_ATTRIBUTE_READONLY, FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(folder.names().size(), 1u);
}

TEST(CandidateFileTest, ReplacementKeepsTheFilesAttributes) {
    TemporaryFolder folder;
    const std::wstring path = folder.file(L"hidden.txt");
    writeBytes(path, "a\r\n");
    ASSERT_TRUE(SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_HIDDEN));
    ASSERT_EQ(writeCandidateFile(path, u"b\r\n", FileFormat{}), u"");
    EXPECT_EQ(readBytes(path), "b\r\n");
    EXPECT_EQ(GetFileAttributesW(path.c_str()) & FILE_ATTRIBUTE_HIDDEN, FILE_ATTRIBUTE_HIDDEN);
}

TEST(CandidateFileTest, WriteRefusals) {
    TemporaryFolder folder;
    const std::wstring subfolder = folder.file(L"sub");
    ASSERT_TRUE(CreateDirectoryW(subfolder.c_str(), nullptr));
    EXPECT_EQ(writeCandidateFile(subfolder, u"a", FileFormat{}),
              messageFor(FileProblem::TargetNotAFile, subfolder));

    const std::wstring nowhere = folder.file(L"no-such-folder\\list.txt");
    EXPECT_EQ(writeCandidateFile(nowhere, u"a", FileFormat{}),
              messageFor(FileProblem::WriteFailed, nowhere, systemErrorText(ERROR_PATH_NOT_FOUND)));

    if (chineseCodePage() == 936) {
        // GBK cannot hold U+20000: refused before the file is touched.
        const std::wstring path = folder.file(L"gbk.txt");
        writeBytes(path, "\xD5\xC5\r\n");
        EXPECT_EQ(writeCandidateFile(path, u"\U00020000\r\n", FileFormat{TextEncoding::Gb18030}),
                  messageFor(FileProblem::NotEncodable, path));
        EXPECT_EQ(readBytes(path), "\xD5\xC5\r\n");
    }
}

TEST(CandidateFileTest, HardLinkIsWrittenInPlaceForEveryName) {
    TemporaryFolder folder;
    const std::wstring first = folder.file(L"first.txt");
    const std::wstring second = folder.file(L"second.txt");
    writeBytes(first, "a\nb\nc\n");
    ASSERT_TRUE(CreateHardLinkW(second.c_str(), first.c_str(), nullptr)) << GetLastError();
    // Longer than before, so that room is reserved first.
    ASSERT_EQ(writeCandidateFile(first, u"alpha\r\nbeta\r\ngamma\r\n", FileFormat{TextEncoding::Utf8, LineEnding::Lf}),
              u"");
    EXPECT_EQ(readBytes(first), "alpha\nbeta\ngamma\n");
    EXPECT_EQ(readBytes(second), "alpha\nbeta\ngamma\n");
    ASSERT_EQ(writeCandidateFile(second, u"a\r\n", FileFormat{}), u"");  // shorter: truncated
    EXPECT_EQ(readBytes(first), "a\r\n");
    EXPECT_EQ(folder.names().size(), 2u);
}

TEST(CandidateFileTest, FileHeldWithoutSharingKeepsItsBytes) {
    TemporaryFolder folder;
    const std::wstring path = folder.file(L"held.txt");
    writeBytes(path, "old\r\n");
    const HANDLE holder = CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    const std::u16string problem = writeCandidateFile(path, u"new\r\n", FileFormat{});
    CloseHandle(holder);
    EXPECT_NE(problem, u"");
    EXPECT_EQ(readBytes(path), "old\r\n");
    const std::vector<std::wstring> names = folder.names();
    EXPECT_EQ(names, std::vector<std::wstring>{L"held.txt"}) << "the temporary file must be removed";
}

TEST(CandidateFileTest, PathsLongerThanMaxPath) {
    TemporaryFolder folder;
    std::wstring deep = folder.path();
    while (deep.size() < 2 * MAX_PATH) {
        deep += L"\\" + std::wstring(60, L'd');
        ASSERT_TRUE(CreateDirectoryW(testing::extended(deep).c_str(), nullptr)) << GetLastError();
    }
    const std::wstring path = deep + L"\\名单.txt";
    for (const std::u16string text : {u"x\r\ny", u"z"}) {
        ASSERT_EQ(writeCandidateFile(path, text, FileFormat{TextEncoding::Utf16LE}), u"");
        const CandidateFileRead read = readCandidateFile(path);
        ASSERT_TRUE(std::holds_alternative<CandidateFile>(read)) << path.size();
        EXPECT_EQ(std::get<CandidateFile>(read).text, text);
    }
}

}  // namespace
}  // namespace zorbalin::win32
