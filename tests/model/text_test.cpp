#include "model/text.h"

#include <gtest/gtest.h>

namespace tarvel {
namespace {

std::string rec(std::initializer_list<std::string> fields) { return joinFields(fields); }

TEST(Fields, ReadsByCountingSeparatorsAndMissingFieldsAreEmpty) {
    const std::string r = rec({"a", "", "c d"});
    EXPECT_EQ(readField(r, 0), "a");
    EXPECT_EQ(readField(r, 1), "");
    EXPECT_EQ(readField(r, 2), "c d");
    EXPECT_EQ(readField(r, 3), "");
    EXPECT_EQ(readField("no separator", 0), "");
    EXPECT_EQ(readField(r, -1), "");
    const auto all = splitFields(r, 5);
    ASSERT_EQ(all.size(), 5u);
    EXPECT_EQ(all[2], "c d");
    EXPECT_EQ(all[4], "");
    EXPECT_EQ(FIELD_SEP.size(), 5u);
}

TEST(Fields, RepositoryNames) {
    EXPECT_TRUE(isValidRepositoryName("abc_1"));
    EXPECT_FALSE(isValidRepositoryName("1abc"));
    EXPECT_FALSE(isValidRepositoryName("a-b"));
    EXPECT_FALSE(isValidRepositoryName(""));
}

}  // namespace
}  // namespace tarvel
