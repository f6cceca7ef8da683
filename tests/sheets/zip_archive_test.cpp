// The zip reader against archives made here: good ones read, and each way of lying about an
// entry refused before anything beyond the budget is inflated.
#include "sheets/zip_archive.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>

#include "zip_writer.h"

namespace zorbalin::sheets {
namespace {

using testing::ZipPart;
using testing::zipOf;

constexpr std::uint64_t kBudget = 1 << 20;

// The bytes of the entry "a" in the archive, or why not.
std::variant<std::string, ZipFailure> readA(const std::string& zip, std::uint64_t budget = kBudget) {
    auto opened = ZipArchive::open(zip);
    if (auto* failure = std::get_if<ZipFailure>(&opened)) return *failure;
    const ZipArchive& archive = std::get<ZipArchive>(opened);
    const ZipEntry* entry = archive.find("a");
    if (!entry) return std::string("(missing)");
    return archive.read(*entry, budget);
}

struct ZipCase {
    const char* name;
    std::function<std::string()> zip;
    std::variant<std::string, ZipFailure> expected;
};

TEST(ZipArchive, ReadsOrRefusesEachEntry) {
    const std::string text(5000, 'x');
    const auto one = [](ZipPart part) { return [part] { return zipOf({part}); }; };
    const auto cut = [&](std::size_t keep) {
        return [&text, keep] { return zipOf({{"a", text}}).substr(0, keep); };
    };
    const ZipCase cases[] = {
        {"Deflated", one({"a", text}), text},
        {"Stored", one({"a", text, false}), text},
        {"Empty", one({"a", ""}), std::string()},
        {"NameInAnyCaseAndSlash", [] { return zipOf({{"A", "1"}}); }, std::string("1")},
        {"Bzip2Method", one({"a", text, false, std::nullopt, 12}), ZipFailure::Damaged},
        {"EncryptedByTheZip", one({"a", text, true, std::nullopt, std::nullopt, 1}), ZipFailure::Encrypted},
        {"WrongChecksum", one({"a", text, true, std::nullopt, std::nullopt, 0, true}), ZipFailure::Damaged},
        {"InflatesToMoreThanDeclared", one({"a", text, true, 100}), ZipFailure::Damaged},
        {"InflatesToLessThanDeclared", one({"a", text, true, 6000}), ZipFailure::Damaged},
        {"StoredSizesDiffer", one({"a", text, false, 10}), ZipFailure::Damaged},
        // A bomb: gigabytes declared, refused before a byte is inflated.
        {"DeclaresMoreThanTheBudget", one({"a", "", true, 0xFFFFFFF0u}), ZipFailure::TooLarge},
        {"NoEndOfDirectory", cut(100), ZipFailure::Damaged},
        {"DirectoryCut", [&] {
             std::string zip = zipOf({{"a", text}});
             return zip.erase(zip.size() - 30, 5);
         }, ZipFailure::Damaged},
        {"LocalHeaderElsewhere", [&] {
             std::string zip = zipOf({{"a", text}});
             zip[0] = 'Q';
             return zip;
         }, ZipFailure::Damaged},
        {"Nothing", [] { return std::string(); }, ZipFailure::Damaged},
    };
    for (const ZipCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(readA(c.zip()), c.expected);
    }
}

// Each entry read takes what it declares from one budget: many small entries add up.
TEST(ZipArchive, EntriesShareOneBudget) {
    const std::string zip = zipOf({{"a", std::string(600, 'a')}, {"b", std::string(600, 'b')}});
    const ZipArchive archive = std::get<ZipArchive>(ZipArchive::open(zip));
    std::uint64_t budget = 1000;
    EXPECT_EQ(std::get<std::string>(archive.read(*archive.find("a"), budget)).size(), 600u);
    EXPECT_EQ(budget, 400u);
    EXPECT_EQ(archive.read(*archive.find("b"), budget), (std::variant<std::string, ZipFailure>(ZipFailure::TooLarge)));
    EXPECT_EQ(archive.find("c"), nullptr);
}

// An entry whose data would run into the central directory.
TEST(ZipArchive, RefusesDataReachingIntoTheDirectory) {
    std::string zip = zipOf({{"a", "hello", false}});
    const std::size_t directory = zip.find("PK\x01\x02");
    ASSERT_NE(directory, std::string::npos);
    zip[directory + 20] = 50;  // compressed size
    zip[directory + 24] = 50;  // size
    EXPECT_EQ(readA(zip), (std::variant<std::string, ZipFailure>(ZipFailure::Damaged)));
}

}  // namespace
}  // namespace zorbalin::sheets
