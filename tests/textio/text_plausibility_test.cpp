#include "textio/text_plausibility.h"

#include <gtest/gtest.h>

#include <string>

namespace zorbalin::textio {
namespace {

struct NamesCase {
    const char* why;
    std::u16string text;
    bool names;
};

TEST(TextPlausibility, TellsNamesFromGbkReadAsUtf8) {
    const NamesCase cases[] = {
        {"Latin with accents", u"José\r\nMüller\r\nÅngström\r\nŁukasz Wałęsa", true},
        {"decomposed accents", u"Jose\u0301 Mu\u0308ller", true},
        {"lower-case Latin", u"josé", true},
        {"Vietnamese, pinyin with tones, Romanian", u"Nguyễn Văn An\r\nLǐ Nà\r\nȘtefan", true},
        {"Greek", u"Γιώργος\r\nΜαρία\r\nΆννα", true},
        {"Cyrillic, initials, guillemets", u"Иван\r\nЯн\r\nИванов И. И.\r\n«Ольга»\r\nҐанна", true},
        {"Chinese, Japanese, Korean", u"张伟\r\n阿依古丽·买买提\r\n山田さくら\r\n김민준", true},
        {"Hebrew and Arabic", u"דָּוִד\r\nمُحَمَّد", true},
        {"signs and emoji beside ASCII", u"Zoë 😀\r\n5°C ½\r\n¡Olé!", true},
        {"all capitals", u"ФС\r\nΤΨ", true},  // a tie: also 肖小 and 韦唯 in GBK
        {"郑伟: Hebrew accent, then Greek", u"\u05A3\u03B0", false},
        {"郑强: mark that follows no letter", u"\u05A3\u01FF", false},
        {"石珊平: IPA and rare Latin letters", u"\u02AF\u027A\u01BD", false},
        {"莫诺诺: Latin word without ASCII", u"\u012A\u0175\u0175", false},
        {"谢小: Cyrillic capital after small", u"\u043B\u0421", false},
        {"姚咏: historic Cyrillic", u"\u04A6\u04FD", false},
        {"魏伟: ΰ", u"\u03BA\u03B0", false},
        {"谢娜: Cyrillic then Arabic", u"\u043B\u0634", false},
        {"陆倩: a sign touching a letter", u"\u00BD\u067B", false},
        {"卢露: signs no list holds", u"\u00AC\u00B6", false},
        {"C1 control", u"a\u0085b", false},
        {"private use", u"\uE000", false},
    };
    for (const NamesCase& c : cases) {
        SCOPED_TRACE(c.why);
        EXPECT_EQ(readsAsNames(c.text), c.names);
    }
}

TEST(TextPlausibility, CommonChineseIsGb2312sHanziAndPunctuation) {
    EXPECT_TRUE(holdsOnlyCommonChinese("\xD6\xA3\xCE\xB0\r\n\xD6\xA3\xC7\xBF"));  // 郑伟 郑强
    EXPECT_TRUE(holdsOnlyCommonChinese("1. \xF7\xFE\xA1\xA2\xA3\xA8"));  // level 2, 、 （
    EXPECT_FALSE(holdsOnlyCommonChinese("abc"));                       // no Chinese at all
    EXPECT_FALSE(holdsOnlyCommonChinese("\x81\x40"));                  // GBK's rarer hanzi
    EXPECT_FALSE(holdsOnlyCommonChinese("\xD5\xC5\xC3\x85"));          // trail outside GB2312
    EXPECT_FALSE(holdsOnlyCommonChinese("\xD7\xFA"));                  // empty cell of row 0xD7
    EXPECT_FALSE(holdsOnlyCommonChinese("\xA8\xA2"));                  // pinyin row
    EXPECT_FALSE(holdsOnlyCommonChinese("\x94\x39\xFC\x36"));          // four bytes: emoji
    EXPECT_FALSE(holdsOnlyCommonChinese("\xD5"));                      // cut off
}

}  // namespace
}  // namespace zorbalin::textio
