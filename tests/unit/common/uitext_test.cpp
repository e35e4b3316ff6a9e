#include "common/uitext.h"

#include <gtest/gtest.h>

namespace zarvik {
namespace {

TEST(UiText, PlacesAreFilledOnceAndInOrder) {
    const struct {
        const char* text;
        std::vector<std::string> args;
        const char* filled;
    } cases[] = {
        {"Передача данных %1%", {"50"}, "Передача данных 50%"},
        {"или %1 мин %2 c %3 мс", {" 4", " 0", "6,510"}, "или  4 мин  0 c 6,510 мс"},
        {"%2 из %1", {"a", "b"}, "b из a"},
        {"%1 и %1", {"x"}, "x и x"},
        {"%1", {"%2"}, "%2"},              // a value is never searched for places
        {"%1 %2", {"a"}, "a %2"},          // a place without a value stays
        {"100% %0 %", {"a"}, "100% %0 %"}, // not places
        {"", {}, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(fillPlaces(c.text, c.args), c.filled) << c.text;
    EXPECT_EQ((UiText{ZARVIK_TR_NOOP("Board", "ПЕРЕДАЧА МАССИВА, %1с"), {"7"}}).russian(),
              "ПЕРЕДАЧА МАССИВА, 7с");
    EXPECT_TRUE(UiText().empty());
}

} // namespace
} // namespace zarvik
