// The line each field starts on, counted as the reader ends lines, while the
// fields themselves stay what they are.
#include <gtest/gtest.h>

#include "sysaccess/files/FieldReader.h"

using sysaccess::files::FieldReader;

TEST(FieldLine, CountsEveryKindOfLineEndAlsoInsideQuotes) {
    FieldReader r(std::string("a,b\r\n\r\n\"q\r\nr\",c\nd\re\n\n  f"));
    const std::vector<std::pair<std::string, std::size_t>> expected{
        {"a", 1}, {"b", 1}, {"", 2}, {"q\r\nr", 3}, {"c", 4}, {"d", 5}, {"e", 6}, {"", 7}, {"f", 8}};
    EXPECT_EQ(r.fieldLine(), 0u);
    for (const auto& [value, line] : expected) {
        EXPECT_EQ(r.next(), value);
        EXPECT_EQ(r.fieldLine(), line) << value;
    }
    EXPECT_TRUE(r.atEnd());
}
