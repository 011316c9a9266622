// The JSON reader and writer of the service's messages.
#include "core/json.h"

#include <gtest/gtest.h>

namespace pagewell::service {
namespace {

TEST(Json, ReadsAndWritesBackEveryKind) {
  const std::pair<const char*, const char*> cases[] = {
      {" {\"id\" : 1, \"op\":\"get\"} ", "{\"id\":1,\"op\":\"get\"}"},
      {"[true,false,null,-0.5,1e3,\"\"]", "[true,false,null,-0.5,1000,\"\"]"},
      {"\"a\\\"b\\\\c\\/d\\n\\u0001\"", "\"a\\\"b\\\\c/d\\n\\u0001\""},
      {"\"\\u00e9\\ud83d\\ude00\"", "\"\xC3\xA9\xF0\x9F\x98\x80\""},
      {"9007199254740991", "9007199254740991"},
      {"0.1", "0.10000000000000001"},
      {"{}", "{}"},
      {"[[]]", "[[]]"},
  };
  for (const auto& [text, written] : cases) {
    auto value = parseJson(text);
    ASSERT_TRUE(value) << text;
    EXPECT_EQ(toJson(*value), written) << text;
  }
}

TEST(Json, RefusesWhatIsNotExactlyOneValue) {
  const char* cases[] = {
      "", "{", "[1,]", "{\"a\":1,}", "01", "1.", ".5", "+1", "1e", "-", "tru", "nul",
      "\"unterminated", "\"tab\there\"", "\"\\x\"", "\"\\ud800\"", "\"\\udc00\"", "\"\\u12\"",
      "\"\xC3\"", "\"\xC0\xAF\"", "\"\xED\xA0\x80\"", "1 2", "{\"a\" 1}", "{1:2}", "[1e999]", "'a'",
  };
  for (const char* text : cases) EXPECT_FALSE(parseJson(text)) << text;
}

TEST(Json, CapsTheNesting) {
  std::string deep(kMaxJsonDepth, '[');
  deep += std::string(kMaxJsonDepth, ']');
  EXPECT_TRUE(parseJson(deep));
  EXPECT_FALSE(parseJson("[" + deep + "]"));
  // Far deeper than any stack would hold if the reader recursed unchecked.
  EXPECT_FALSE(parseJson(std::string(100000, '[')));
}

TEST(Json, FindsMembersAndWritesNumbersJsonCannotHoldAsNull) {
  auto value = parseJson("{\"a\":1,\"b\":[2]}");
  ASSERT_TRUE(value);
  ASSERT_TRUE(value->find("b"));
  EXPECT_EQ(value->find("b")->items().size(), 1u);
  EXPECT_FALSE(value->find("c"));
  EXPECT_FALSE(Json(3).find("a"));
  EXPECT_EQ(toJson(Json(Json::Array{Json(1.0 / 0.0), Json(-2.5), Json(1e300)})), "[null,-2.5,1.0000000000000001e+300]");
}

}  // namespace
}  // namespace pagewell::service
