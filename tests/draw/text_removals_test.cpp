#include "draw/text_removals.h"

#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <string>
#include <vector>

#include "draw/candidate_text.h"

namespace zorbalin::draw {
namespace {

std::u16string applied(const std::u16string& before, const std::vector<Removal>& removals) {
    std::u16string text;
    std::size_t kept = 0;
    for (const Removal& removal : removals) {
        text.append(before, kept, removal.begin - kept);
        kept = removal.end;
    }
    return text.append(before, kept);
}

bool splitsLineBreak(const std::u16string& text, std::size_t at) {
    return at > 0 && at < text.size() && text[at - 1] == u'\r' && text[at] == u'\n';
}

// What an editor relies on: the runs are in order, none empty, none cuts a CR LF pair or
// brings a CR and an LF together, and removing them gives the new text.
void expectSoundRemovals(const std::u16string& before, const std::u16string& after,
                         const std::vector<Removal>& removals, const std::string& what) {
    ASSERT_LE(removals.size(), kMaxRemovals) << what;
    std::size_t previousEnd = 0;
    for (const Removal& removal : removals) {
        EXPECT_LE(previousEnd, removal.begin) << what;
        EXPECT_LT(removal.begin, removal.end) << what;
        EXPECT_LE(removal.end, before.size()) << what;
        EXPECT_FALSE(splitsLineBreak(before, removal.begin)) << what;
        EXPECT_FALSE(splitsLineBreak(before, removal.end)) << what;
        EXPECT_FALSE(removal.begin > 0 && removal.end < before.size() &&
                     before[removal.begin - 1] == u'\r' && before[removal.end] == u'\n')
            << what;
        previousEnd = removal.end;
    }
    EXPECT_EQ(applied(before, removals), after) << what;
}

struct Case {
    const char* what;
    std::u16string before;
    std::u16string after;
    std::optional<std::vector<Removal>> expected;
};

TEST(RemovalsBetween, FindsWhatTidyingDropsAndRefusesOtherChanges) {
    using Runs = std::vector<Removal>;
    const Case cases[] = {
        {"same text", u"a\r\nb", u"a\r\nb", Runs{}},
        {"both empty", u"", u"", Runs{}},
        {"final break dropped", u"a\r\nb\r\n", u"a\r\nb", Runs{{4, 6}}},
        {"blank run shortened", u"a\r\n\r\n\r\nb\r\nc", u"a\r\nb\r\nc", Runs{{3, 7}}},
        {"leading breaks shortened", u"\r\n\r\n\r\nfirst", u"\r\nfirst", Runs{{2, 6}}},
        {"two blank lines dropped", u"a\r\n\r\nb\r\n\r\nc", u"a\r\nb\r\nc", Runs{{3, 5}, {8, 10}}},
        {"everything removed", u"a\r\nb", u"", Runs{{0, 4}}},
        {"lone CR kept before a dropped break", u"x\r\r\n\r\ny", u"x\r\r\ny", Runs{{4, 6}}},
        {"lone CR becomes a break", u"a\rb", u"a\r\nb", std::nullopt},
        {"break becomes a lone LF", u"x\r\ny", u"x\ny", std::nullopt},
        {"break becomes a lone CR", u"x\r\ny", u"x\ry", std::nullopt},
        // Removing the lone CR would do, but the match first meets the one inside the pair.
        {"break after a lone CR", u"p\r\r\nq", u"p\r\nq", std::nullopt},
        {"lone CR and LF brought together", u"a\rX\nb", u"a\r\nb", std::nullopt},
        {"text from empty", u"", u"a\r\nb", std::nullopt},
        {"text added at the end", u"a", u"a\r\nb", std::nullopt},
        {"line changed inside", u"one\r\ntwo\r\nthree", u"one\r\ntwelve\r\nthree", std::nullopt},
    };
    for (const Case& c : cases) {
        const auto removals = removalsBetween(c.before, c.after);
        EXPECT_EQ(removals, c.expected) << c.what;
        if (removals) {
            expectSoundRemovals(c.before, c.after, *removals, c.what);
        }
    }
}

TEST(RemovalsBetween, GivesUpBeyondTheCap) {
    for (const std::size_t runs : {kMaxRemovals, kMaxRemovals + 1}) {
        std::u16string before;
        std::u16string after;
        for (std::size_t i = 0; i < runs; ++i) {
            before += u"x\r\n\r\n";
            after += u"x\r\n";
        }
        const auto removals = removalsBetween(before, after);
        EXPECT_EQ(removals.has_value(), runs <= kMaxRemovals) << runs;
        if (removals) {
            EXPECT_EQ(removals->size(), runs);
        }
    }
    EXPECT_TRUE(removalsBetween(u"a\r\n\r\nb\r\n\r\nc", u"a\r\nb\r\nc", 2).has_value());
    EXPECT_FALSE(removalsBetween(u"a\r\n\r\nb\r\n\r\nc", u"a\r\nb\r\nc", 1).has_value());
}

// Random texts: whatever is found, removing it gives the new text; removals of whole lines
// and breaks from a text without lone CR or LF, and tidying such a text, are always found.
TEST(RemovalsBetween, RemovingTheFoundRunsGivesTheNewText) {
    std::mt19937 random(20261208);
    const std::u16string pieces[] = {u"a", u"b", u"\r\n", u"\r\n", u"\r", u"\n"};
    for (int round = 0; round < 3000; ++round) {
        const bool loneBreaks = round % 2 == 0;
        std::uniform_int_distribution<std::size_t> piece(0, loneBreaks ? 5 : 3);
        std::vector<std::u16string> tokens(std::uniform_int_distribution<std::size_t>(0, 30)(random));
        for (auto& token : tokens) token = pieces[piece(random)];

        std::u16string before;
        std::u16string after;
        for (const auto& token : tokens) {
            before += token;
            if (random() % 4 != 0) after += token;
        }
        const std::string what = "round " + std::to_string(round);
        const auto removals = removalsBetween(before, after);
        if (removals) {
            expectSoundRemovals(before, after, *removals, what);
        }
        EXPECT_TRUE(removals || loneBreaks) << what;

        const std::u16string tidy = tidiedCandidateText(before);
        const auto tidying = removalsBetween(before, tidy);
        if (tidying) {
            expectSoundRemovals(before, tidy, *tidying, what + " tidied");
        }
        EXPECT_TRUE(tidying || loneBreaks) << what << " tidied";
    }
}

}  // namespace
}  // namespace zorbalin::draw
