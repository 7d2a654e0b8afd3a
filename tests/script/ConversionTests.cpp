// Conversions of values as the reference player performs them, per SWF version.
#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "engine/script/Value.h"

using namespace plavex::script;

namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();

struct NumberText {
  double value;
  const char* text;
};

TEST(NumberToString, WritesFifteenDigitsAndShortExponents) {
  const NumberText cases[] = {
      {0, "0"},          {-0.0, "0"},           {1, "1"},
      {-1.5, "-1.5"},    {0.1 + 0.2, "0.3"},    {1.0 / 3, "0.333333333333333"},
      {123456789012345, "123456789012345"},     {1e15, "1e+15"},
      {1.5e20, "1.5e+20"}, {1e21, "1e+21"},     {0.0001, "0.0001"},
      {0.00001, "1e-5"}, {1.25e-7, "1.25e-7"},  {kNaN, "NaN"},
      {kInf, "Infinity"}, {-kInf, "-Infinity"}, {4294967296.0, "4294967296"},
      {-2147483648.0, "-2147483648"},
  };
  for (const auto& c : cases) EXPECT_EQ(numberToString(c.value), c.text) << c.text;
}

TEST(NumberToString, RadixWritesTheIntegerPart) {
  EXPECT_EQ(numberToRadixString(255, 16), "ff");
  EXPECT_EQ(numberToRadixString(-255, 16), "-ff");
  EXPECT_EQ(numberToRadixString(5, 2), "101");
  EXPECT_EQ(numberToRadixString(35, 36), "z");
  EXPECT_EQ(numberToRadixString(1.5, 10), "1.5");
}

struct TextNumber {
  const char* text;
  int version;
  double expected;  // NaN compares by isnan
};

TEST(StringToNumber, FollowsTheVersionRules) {
  const TextNumber cases[] = {
      {"12", 6, 12},          {"  12", 6, 12},       {"-3.5", 6, -3.5},   {"+4", 6, 4},
      {"1e3", 6, 1000},       {".5", 6, 0.5},        {"5.", 6, 5},        {"0x1F", 6, 31},
      {"0XFF", 7, 255},       {"-0x10", 6, -16},     {"0x", 6, kNaN},     {"0xG", 6, kNaN},
      {"", 6, kNaN},          {"", 4, 0},            {"abc", 5, kNaN},    {"abc", 4, 0},
      {"12abc", 6, kNaN},     {"12 ", 6, kNaN},      {"1e", 6, kNaN},     {"Infinity", 7, kNaN},
      {"007", 7, 7},          {"-", 6, kNaN},        {"010", 6, 8},       {"-010", 7, -8},
      {"019", 7, 19},         {"150a", 4, 150},      {"0x96", 4, 0},      {"010", 4, 10},
      {" 2.5e1x", 4, 25},
  };
  for (const auto& c : cases) {
    double v = stringToNumber(c.text, c.version);
    if (std::isnan(c.expected)) EXPECT_TRUE(std::isnan(v)) << '"' << c.text << "\" v" << c.version;
    else EXPECT_EQ(v, c.expected) << '"' << c.text << "\" v" << c.version;
  }
}

TEST(PrimitiveConversions, UndefinedAndNullDependOnTheVersion) {
  EXPECT_EQ(primitiveToString(Value(), 6), "");
  EXPECT_EQ(primitiveToString(Value(), 7), "undefined");
  EXPECT_EQ(primitiveToString(Value::null(), 6), "null");
  EXPECT_EQ(primitiveToNumber(Value(), 6), 0);
  EXPECT_TRUE(std::isnan(primitiveToNumber(Value(), 7)));
  EXPECT_EQ(primitiveToNumber(Value::null(), 6), 0);
  EXPECT_TRUE(std::isnan(primitiveToNumber(Value::null(), 7)));
  EXPECT_EQ(primitiveToNumber(Value(true), 7), 1);
  EXPECT_EQ(primitiveToString(Value(false), 5), "false");
}

struct BoolCase {
  Value value;
  int version;
  bool expected;
};

TEST(ToBoolean, StringsAreNumbersBeforeSeven) {
  const BoolCase cases[] = {
      {Value("abc"), 6, false}, {Value("abc"), 7, true}, {Value("1"), 6, true},   {Value("0"), 6, false},
      {Value("0"), 7, true},    {Value(""), 7, false},   {Value(kNaN), 7, false}, {Value(-1), 5, true},
      {Value(), 7, false},      {Value::null(), 6, false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(toBoolean(c.value, c.version), c.expected) << primitiveToString(c.value, 7) << " v" << c.version;
}

struct IntCase {
  double value;
  std::int32_t expected;
};

TEST(ToInt32, WrapsModuloTwoToThe32) {
  const IntCase cases[] = {
      {0, 0}, {1.9, 1}, {-1.9, -1}, {2147483647, 2147483647}, {2147483648.0, -2147483647 - 1},
      {4294967295.0, -1}, {4294967296.0, 0}, {-4294967297.0, -1}, {1e20, 1661992960}, {kNaN, 0}, {kInf, 0}, {-kInf, 0},
  };
  for (const auto& c : cases) EXPECT_EQ(toInt32(c.value), c.expected) << c.value;
  EXPECT_EQ(toUint32(-1), 4294967295u);
}

TEST(Utf16, RoundTripsAndCountsUnits) {
  std::string s = "a\xE4\xB8\xAD\xF0\x9F\x98\x80";  // a, 中, 😀
  auto u = toUtf16(s);
  EXPECT_EQ(u.size(), 4u);
  EXPECT_EQ(fromUtf16(u), s);
  EXPECT_EQ(toUtf16("\xFF").size(), 1u);  // a stray byte is kept, not lost
}

TEST(Names, FoldWhenCaseInsensitive) {
  EXPECT_TRUE(namesEqual("myVar", "MYVAR", false));
  EXPECT_FALSE(namesEqual("myVar", "MYVAR", true));
}

}  // namespace
