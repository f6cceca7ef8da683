#include "draw/candidate_text.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <random>
#include <ostream>
#include <string>
#include <vector>

namespace zorbalin::draw {
namespace {

std::vector<std::u16string> asStrings(const ItemList& items) {
    return {items.begin(), items.end()};
}

using ::testing::ElementsAreArray;

std::u16string breaks(std::size_t count) {
    std::u16string text;
    for (std::size_t i = 0; i < count; ++i) text += u"\r\n";
    return text;
}

struct TidyCase {
    const char* name;
    std::u16string input;
    std::u16string expected;

    friend void PrintTo(const TidyCase& c, std::ostream* out) { *out << c.name; }
};

class TidyTest : public ::testing::TestWithParam<TidyCase> {};

TEST_P(TidyTest, GivesTheTidiedText) {
    EXPECT_EQ(tidiedCandidateText(GetParam().input), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    CandidateText, TidyTest,
    ::testing::Values(
        TidyCase{"ThreeBreaksBecomeOneAndTheFinalBreakGoes", u"a\r\n\r\n\r\nb\r\n", u"a\r\nb"},
        TidyCase{"FiveBreaksBecomeTwo", u"a" + breaks(5) + u"b", u"a\r\n\r\nb"},
        TidyCase{"SixteenBreaksBecomeFourNotOne", u"a" + breaks(16) + u"b", u"a" + breaks(4) + u"b"},
        TidyCase{"OneBreakAloneBecomesEmpty", u"\r\n", u""},
        TidyCase{"EmptyStaysEmpty", u"", u""},
        TidyCase{"SingleLineStays", u"x", u"x"},
        TidyCase{"ThreeTrailingBreaksAllGo", u"a\r\nb" + breaks(3), u"a\r\nb"},
        TidyCase{"FiveTrailingBreaksLeaveOne", u"a" + breaks(5), u"a\r\n"},
        TidyCase{"LeadingBreaksAreShortenedNotDropped", u"\r\n\r\nfirst", u"\r\nfirst"},
        TidyCase{"NineLeadingBreaksBecomeThree", breaks(9) + u"x", breaks(3) + u"x"},
        TidyCase{"OnlyFiveBreaksLeaveOne", breaks(5), u"\r\n"},
        TidyCase{"OnlyNineBreaksLeaveTwo", breaks(9), breaks(2)},
        TidyCase{"BlanksAreKept", u"  a  \r\n \r\nb", u"  a  \r\n \r\nb"},
        TidyCase{"LoneLineFeedsAreNoBreaks", u"a\n\n\n\nb\n", u"a\n\n\n\nb\n"},
        TidyCase{"LoneCarriageReturnsAreNoBreaks", u"a\r\r\r\rb\r", u"a\r\r\r\rb\r"},
        TidyCase{"LoneCrAndLfSplitRuns", u"a\r\n\r\r\n\n\r\nb", u"a\r\n\r\r\n\n\r\nb"},
        TidyCase{"RunAfterLoneCr", u"a\r\r\n\r\nb", u"a\r\r\nb"},
        TidyCase{"RunBeforeLoneLf", u"a\r\n\r\n\nb", u"a\r\n\nb"},
        TidyCase{"FinalBreakAfterLoneCrGoes", u"a\r\r\n", u"a\r"},
        TidyCase{"WideCharactersPassThrough", u"张三\r\n\r\n李四\r\n", u"张三\r\n李四"}),
    [](const auto& test) { return std::string(test.param.name); });

TEST(TidyRuns, KBreaksBetweenTextBecomeCeilingOfKOverFour) {
    for (std::size_t k = 1; k <= 9; ++k) {
        const std::size_t kept = (k + 3) / 4;
        EXPECT_EQ(tidiedCandidateText(u"a" + breaks(k) + u"b"), u"a" + breaks(kept) + u"b") << k;
    }
}

// The literal definition: two left-to-right passes of CR LF CR LF -> CR LF, then one
// final CR LF dropped. The fast tidy must agree with it on any mix of CR, LF and text.
std::u16string tidyByTwoPasses(std::u16string s) {
    for (int pass = 0; pass < 2; ++pass) {
        std::u16string out;
        for (std::size_t i = 0; i < s.size();) {
            if (s.compare(i, 4, u"\r\n\r\n") == 0) {
                out += u"\r\n";
                i += 4;
            } else {
                out += s[i++];
            }
        }
        s = out;
    }
    if (s.size() >= 2 && s.compare(s.size() - 2, 2, u"\r\n") == 0) s.resize(s.size() - 2);
    return s;
}

TEST(TidyRuns, AgreesWithTheTwoPassDefinitionOnRandomTexts) {
    std::mt19937 generator(20240611);
    const char16_t alphabet[] = {u'\r', u'\n', u'a', u' '};
    std::uniform_int_distribution<int> pick(0, 3);
    std::uniform_int_distribution<int> length(0, 300);
    for (int round = 0; round < 3000; ++round) {
        std::u16string text;
        for (int i = length(generator); i > 0; --i) {
            // Mostly CR LF pairs so that long runs occur often.
            if (pick(generator) < 2) {
                text += u"\r\n";
            } else {
                text += alphabet[pick(generator)];
            }
        }
        ASSERT_EQ(tidiedCandidateText(text), tidyByTwoPasses(text));
    }
}

struct SplitCase {
    const char* name;
    std::u16string input;
    std::vector<std::u16string> items;

    friend void PrintTo(const SplitCase& c, std::ostream* out) { *out << c.name; }
};

class SplitTest : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitTest, CutsAtEveryBreak) {
    EXPECT_THAT(splitItems(GetParam().input), ElementsAreArray(GetParam().items));
}

INSTANTIATE_TEST_SUITE_P(
    CandidateText, SplitTest,
    ::testing::Values(
        SplitCase{"TwoLines", u"a\r\nb", {u"a", u"b"}},
        SplitCase{"SingleLine", u"x", {u"x"}},
        SplitCase{"EmptyTextIsOneEmptyItem", u"", {u""}},
        SplitCase{"AdjacentBreaksGiveAnEmptyItem", u"a\r\n\r\nb", {u"a", u"", u"b"}},
        SplitCase{"TrailingBreakGivesAnEmptyLastItem", u"a\r\n", {u"a", u""}},
        SplitCase{"LeadingBreakGivesAnEmptyFirstItem", u"\r\nfirst", {u"", u"first"}},
        SplitCase{"BlanksAreKept", u"  a  \r\n \r\nb", {u"  a  ", u" ", u"b"}},
        SplitCase{"LoneLineFeedsStayInTheItem", u"a\nb\nc", {u"a\nb\nc"}},
        SplitCase{"LoneCrStaysInTheItem", u"a\rb\r\n\r", {u"a\rb", u"\r"}},
        SplitCase{"CrBeforeABreakStays", u"\r\r\n\n", {u"\r", u"\n"}}),
    [](const auto& test) { return std::string(test.param.name); });

// Long random texts, so that breaks fall on every offset of the scanning blocks.
TEST(SplitItems, AgreesWithACharacterByCharacterCutOnRandomTexts) {
    std::mt19937 generator(77);
    std::uniform_int_distribution<int> pick(0, 5);
    std::uniform_int_distribution<int> length(0, 400);
    for (int round = 0; round < 2000; ++round) {
        std::u16string text;
        for (int i = length(generator); i > 0; --i) {
            const int choice = pick(generator);
            text += choice < 2 ? u"\r\n" : choice == 2 ? u"\r" : choice == 3 ? u"\n" : u"x";
        }
        std::vector<std::u16string> expected(1);
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text.compare(i, 2, u"\r\n") == 0) {
                expected.emplace_back();
                ++i;
            } else {
                expected.back() += text[i];
            }
        }
        ASSERT_EQ(asStrings(splitItems(text)), expected);
    }
}

TEST(SplitItems, JoiningTheItemsWithBreaksGivesTheTextBack) {
    const std::u16string text = u"\r\n甲\r\r\n\n乙\r\n\r\n\r\n丙\r\n";
    const std::vector<std::u16string> items = asStrings(splitItems(text));
    std::u16string joined = items.front();
    for (std::size_t i = 1; i < items.size(); ++i) joined += u"\r\n" + items[i];
    EXPECT_EQ(joined, text);
    EXPECT_EQ(items.size(), 7u);
}

}  // namespace
}  // namespace zorbalin::draw
