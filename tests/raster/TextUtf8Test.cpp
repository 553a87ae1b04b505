#include <gtest/gtest.h>

#include <cstring>

#include "raster/Raster.h"

TEST(TextUtf8Char, DecodesOneCharacterAndCountsItsBytes) {
  struct Case {
    const char* text;
    int used;
    unsigned short code;
  } cases[] = {
      {"A", 1, 'A'},
      {"\xc3\xa9", 2, 0xe9},
      {"\xdf\xbf", 2, 0x7ff},
      {"\xe2\x82\xac", 3, 0x20ac},
      {"\xef\xbf\xbf", 3, 0xffff},
      {"\xf0\x9f\x98\x80", 4, ' '},  // beyond 16 bits: a space
      {"\xc1\xbf", 1, 0xc1},         // overlong lead taken as one byte
      {"\xc3", 1, 0xc3},             // no continuation before the terminator
      {"\xc3(", 1, 0xc3},
      {"\xc3\xc0", 1, 0xc3},  // 0xc0 is no continuation byte
      {"\xe2\x82", 1, 0xe2},
      {"\xf0\x9f\x98", 1, 0xf0},
      {"\x80", 1, 0x80},
      {"\xff", 1, 0xff},
  };
  for (const Case& c : cases) {
    unsigned short code = 0;
    EXPECT_EQ(utf8char(c.text, &code), c.used) << c.text;
    EXPECT_EQ(code, c.code) << c.text;
  }
}

TEST(TextUtf8Char, NeverReadsPastTheByteLimit) {
  // The bytes after the limit would complete the sequence; they must not be looked at.
  const char euro[] = "\xe2\x82\xac";
  unsigned short code = 0;
  EXPECT_EQ(utf8char(euro, &code, 2), 1);
  EXPECT_EQ(code, 0xe2);
  EXPECT_EQ(utf8char(euro, &code, 3), 3);
  EXPECT_EQ(code, 0x20ac);
  const char four[] = "\xf0\x9f\x98\x80";
  EXPECT_EQ(utf8char(four, &code, 3), 1);
}
