#include "file_dialogs.h"
#include "qstring_u16.h"
#include "qt_gtest_printers.h"

#include <gtest/gtest.h>

namespace zorbalin::window {
namespace {

struct FilterCase {
    const char* name;
    QString commonDialogFilter;
    QStringList expected;
    friend void PrintTo(const FilterCase& c, std::ostream* out) { *out << c.name; }
};

QString withNuls(const char16_t* text) {
    QString result = QString::fromUtf16(text);
    result.replace(u'|', QChar(u'\0'));
    return result;
}

class CommonDialogFilterTest : public testing::TestWithParam<FilterCase> {};

TEST_P(CommonDialogFilterTest, BecomesQtNameFilters) {
    EXPECT_EQ(nameFiltersFromFilterPairs(
                  dialogs::parseCommonDialogFilter(fromQString(GetParam().commonDialogFilter))),
              GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, CommonDialogFilterTest,
    testing::Values(
        FilterCase{"AllFilesPairMatchesNamesWithoutDot", withNuls(u"所有文件(*.*)|*.*|"),
                   {QString::fromUtf16(u"所有文件(*.*) (*)")}},
        FilterCase{"TwoPairsKeepTheirOrder", withNuls(u"Text|*.txt|All|*.*||"),
                   {"Text (*.txt)", "All (*)"}},
        FilterCase{"MissingTrailingNulStillGivesThePair", withNuls(u"Text|*.txt"),
                   {"Text (*.txt)"}},
        FilterCase{"SemicolonsSeparatePatterns", withNuls(u"Lists|*.txt;*.*; *.lst|"),
                   {"Lists (*.txt * *.lst)"}},
        FilterCase{"DoubleNulEndsTheList", withNuls(u"Text|*.txt||All|*.*|"),
                   {"Text (*.txt)"}},
        FilterCase{"DescriptionWithoutPatternIsDropped", withNuls(u"Text|*.txt|Orphan"),
                   {"Text (*.txt)"}},
        FilterCase{"EmptyFilterGivesNoFilters", QString(), {}}),
    [](const testing::TestParamInfo<FilterCase>& test) { return test.param.name; });

}  // namespace
}  // namespace zorbalin::window
