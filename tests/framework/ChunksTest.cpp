#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "framework/BaseTestPlug.h"

namespace {
std::vector<unsigned char> Bytes(const ByteChunk& chunk) {
  return std::vector<unsigned char>(chunk.GetBytes(), chunk.GetBytes() + chunk.Size());
}

void PutDoubles(ByteChunk* chunk, std::initializer_list<double> values) {
  for (double v : values) chunk->Put(&v);
}
}  // namespace

TEST(ByteChunk, PutGetAndBounds) {
  ByteChunk chunk;
  int i = -7;
  double d = 2.5;
  bool b = true;
  EXPECT_EQ(chunk.Put(&i), 4);
  EXPECT_EQ(chunk.Put(&d), 12);
  EXPECT_EQ(chunk.Put(&b), 13);
  EXPECT_EQ(chunk.GetBytes()[12], 1);

  int i2 = 0;
  double d2 = 0;
  bool b2 = false;
  EXPECT_EQ(chunk.Get(&i2, 0), 4);
  EXPECT_EQ(chunk.Get(&d2, 4), 12);
  EXPECT_EQ(chunk.Get(&b2, 12), 13);
  EXPECT_EQ(i2, -7);
  EXPECT_EQ(d2, 2.5);
  EXPECT_TRUE(b2);

  // Reads that do not fit leave the output alone.
  d2 = 99.0;
  EXPECT_EQ(chunk.Get(&d2, 6), -1);
  EXPECT_EQ(chunk.Get(&d2, -1), -1);
  EXPECT_EQ(chunk.Get(&d2, 13), -1);
  EXPECT_EQ(chunk.Get(&d2, std::numeric_limits<int>::max()), -1);
  EXPECT_EQ(d2, 99.0);
  EXPECT_EQ(chunk.GetBytes(&d2, -3, 0), -1);

  // A stored byte other than 0 or 1 still reads as a valid bool.
  chunk.GetBytes()[12] = 0x7f;
  b2 = false;
  chunk.Get(&b2, 12);
  EXPECT_TRUE(b2);

  ByteChunk other;
  other.PutChunk(&chunk);
  other.PutChunk(nullptr);
  EXPECT_TRUE(other.IsEqual(chunk));
  EXPECT_EQ(other.Resize(20), 20);
  EXPECT_EQ(other.GetBytes()[19], 0);
  EXPECT_EQ(other.Resize(-1), 20);
  other.Clear();
  EXPECT_EQ(other.Size(), 0);
}

TEST(ByteChunk, Strings) {
  ByteChunk chunk;
  EXPECT_EQ(chunk.PutStr("abc"), 7);
  EXPECT_EQ(chunk.PutStr(""), 11);
  EXPECT_EQ(chunk.PutStr(nullptr), 15);
  const unsigned char expected[] = {3, 0, 0, 0, 'a', 'b', 'c'};
  EXPECT_EQ(memcmp(chunk.GetBytes(), expected, sizeof(expected)), 0);

  UTL_String s("keep");
  EXPECT_EQ(chunk.GetStr(&s, 0), 7);
  EXPECT_STREQ(s.Get(), "abc");
  EXPECT_EQ(chunk.GetStr(&s, 7), 11);  // length 0 leaves the string
  EXPECT_STREQ(s.Get(), "abc");
  EXPECT_EQ(chunk.GetStr(&s, 13), -1);  // length does not fit

  // A length running past the end: position beyond the data, string untouched.
  ByteChunk runs;
  int len = 50;
  runs.Put(&len);
  runs.PutBytes("xy", 2);
  s.Set("keep");
  EXPECT_EQ(runs.GetStr(&s, 0), 54);
  EXPECT_STREQ(s.Get(), "keep");

  // An embedded 0 ends the text early; the position still skips the whole field.
  ByteChunk zero;
  len = 4;
  zero.Put(&len);
  zero.PutBytes("a\0bc", 4);
  EXPECT_EQ(zero.GetStr(&s, 0), 8);
  EXPECT_STREQ(s.Get(), "a");

  // Negative or position-overflowing lengths are refused.
  ByteChunk bad;
  len = -8;
  bad.Put(&len);
  EXPECT_EQ(bad.GetStr(&s, 0), -1);
  ByteChunk huge;
  len = std::numeric_limits<int>::max();
  huge.Put(&len);
  EXPECT_EQ(huge.GetStr(&s, 0), -1);
}

TEST(StateChunks, ParameterStateBytes) {
  BaseTestPlug plug;
  plug.InitDecibelParams();
  plug.GetParam(1)->Set(-94.0);
  plug.GetParam(2)->Set(3.0);
  ByteChunk chunk;
  EXPECT_TRUE(plug.SerializeParams(&chunk));
  const std::vector<unsigned char> expected = {0, 0,    0,    0,    0, 0, 0, 0, 0, 0, 0, 0,
                                               0, 0x80, 0x57, 0xC0, 0, 0, 0, 0, 0, 0, 8, 0x40};
  EXPECT_EQ(Bytes(chunk), expected);

  BaseTestPlug none(0);
  ByteChunk empty;
  EXPECT_TRUE(none.SerializeParams(&empty));
  EXPECT_EQ(empty.Size(), 0);
}

TEST(StateChunks, UnserializeShortOutOfRangeAndNegativeStart) {
  BaseTestPlug plug;
  plug.InitDecibelParams();
  plug.GetParam(2)->Set(-20.0);

  ByteChunk shortChunk;
  PutDoubles(&shortChunk, {-6.0, 10.0});  // 16 bytes; 10 dB is above the range
  EXPECT_EQ(plug.UnserializeParams(&shortChunk, 0), -1);
  EXPECT_EQ(plug.GetParam(0)->Value(), -6.0);
  EXPECT_EQ(plug.GetParam(1)->Value(), 6.0);
  EXPECT_EQ(plug.GetParam(2)->Value(), 0.0);  // first missing value reads as 0
  EXPECT_EQ(plug.mHookCalls, (std::vector<int>{0, 1, 2}));

  plug.mHookCalls.clear();
  EXPECT_EQ(plug.UnserializeParams(&shortChunk, -1), -1);
  EXPECT_EQ(plug.GetParam(0)->Value(), -6.0);  // unchanged
  EXPECT_EQ(plug.mHookCalls, (std::vector<int>{0, 1, 2}));

  ByteChunk full;
  PutDoubles(&full, {1.0, std::nan(""), -1e300, 42.0});
  EXPECT_EQ(plug.UnserializeParams(&full, 0), 24);
  EXPECT_EQ(plug.GetParam(0)->Value(), 1.0);
  EXPECT_EQ(plug.GetParam(1)->Value(), 6.0);  // a NaN keeps the value
  EXPECT_EQ(plug.GetParam(2)->Value(), -94.0);
  EXPECT_EQ(plug.UnserializeParams(&full, 8), 32);
  EXPECT_EQ(plug.UnserializeParams(nullptr, 0), -1);
}

TEST(StateChunks, PresetListRecordsAndRoundTrip) {
  BaseTestPlug plug(3, "2-2", 2);
  plug.InitDecibelParams();
  plug.MakePreset("No Change", 0.0, 0.0, 0.0);
  ByteChunk chunk;
  EXPECT_TRUE(plug.SerializePresets(&chunk));
  ASSERT_EQ(chunk.Size(), 38 + 10);
  const unsigned char first[] = {9, 0, 0, 0, 'N', 'o', ' ', 'C', 'h', 'a', 'n', 'g', 'e', 1};
  EXPECT_EQ(memcmp(chunk.GetBytes(), first, sizeof(first)), 0);
  const unsigned char second[] = {5, 0, 0, 0, 'e', 'm', 'p', 't', 'y', 0};
  EXPECT_EQ(memcmp(chunk.GetBytes() + 38, second, sizeof(second)), 0);

  // Restore into a fresh plug-in: names, flags and (clamped) values come back.
  BaseTestPlug other(3, "2-2", 2);
  other.InitDecibelParams();
  ByteChunk stored;
  std::string name = "Loud";
  int len = (int)name.size();
  stored.Put(&len);
  stored.PutBytes(name.data(), len);
  bool on = true;
  stored.Put(&on);
  PutDoubles(&stored, {50.0, -3.0, -200.0});
  stored.PutChunk(&chunk);  // a second copy; only two slots read
  EXPECT_EQ(other.UnserializePresets(&stored, 0), 4 + 4 + 1 + 24 + 38);
  EXPECT_STREQ(other.GetPresetName(0), "Loud");
  EXPECT_STREQ(other.GetPresetName(1), "No Change");
  EXPECT_TRUE(other.GetPreset(0)->mInitialized);
  double kept = 0;
  other.GetPreset(0)->mChunk.Get(&kept, 0);
  EXPECT_EQ(kept, 6.0);  // the slot keeps what the parameter accepted
  // The current preset (0) was restored last.
  EXPECT_EQ(other.GetParam(0)->Value(), 6.0);
  EXPECT_EQ(other.GetParam(2)->Value(), -94.0);
}

TEST(StateChunks, PresetListFromDamagedChunks) {
  BaseTestPlug plug(3, "2-2", 3);
  plug.InitDecibelParams();
  ByteChunk chunk;
  std::string name = "First";
  int len = (int)name.size();
  chunk.Put(&len);
  chunk.PutBytes(name.data(), len);
  bool off = false;
  chunk.Put(&off);
  len = 0;  // second slot: no name of its own
  chunk.Put(&len);
  chunk.Put(&off);
  EXPECT_EQ(plug.UnserializePresets(&chunk, 0), -1);  // third slot cannot be read
  EXPECT_STREQ(plug.GetPresetName(1), "First");       // the last name read successfully
  EXPECT_STREQ(plug.GetPresetName(2), "First");
  EXPECT_FALSE(plug.GetPreset(1)->mInitialized);
  // Restoring the current slot, left unused, turns it into a user preset.
  EXPECT_STREQ(plug.GetPresetName(0), "user preset 1");
  EXPECT_TRUE(plug.GetPreset(0)->mInitialized);
}

TEST(StateChunks, VersionHeader) {
  ByteChunk chunk;
  IPluginBase::InitChunkWithFrameworkVer(&chunk);
  const std::vector<unsigned char> expected = {0x74, 0x66, 0x66, 0x70, 0, 0, 1, 0};
  EXPECT_EQ(Bytes(chunk), expected);
  int pos = 0;
  EXPECT_EQ(IPluginBase::GetFrameworkVerFromChunk(&chunk, &pos), 0x10000);
  EXPECT_EQ(pos, 8);

  ByteChunk plain;
  PutDoubles(&plain, {1.0});
  pos = 0;
  EXPECT_EQ(IPluginBase::GetFrameworkVerFromChunk(&plain, &pos), 0);
  EXPECT_EQ(pos, 0);

  ByteChunk cut;
  cut.PutBytes(expected.data(), 6);  // magic, then no room for the version
  pos = 0;
  EXPECT_EQ(IPluginBase::GetFrameworkVerFromChunk(&cut, &pos), 0);
  EXPECT_EQ(pos, -1);
  pos = -1;
  EXPECT_EQ(IPluginBase::GetFrameworkVerFromChunk(&chunk, &pos), 0);
  EXPECT_EQ(pos, -1);
}

TEST(Base64, EncodeWithPaddingAndDecode) {
  UTL_String text;
  auto encode = [&](const char* s) {
    Base64Encode(reinterpret_cast<const unsigned char*>(s), (int)strlen(s), &text);
    return std::string(text.Get());
  };
  EXPECT_EQ(encode("Man"), "TWFu");
  EXPECT_EQ(encode("Ma"), "TWE=");
  EXPECT_EQ(encode("M"), "TQ==");
  EXPECT_EQ(encode(""), "");
  const unsigned char high[] = {0xFB, 0xFF, 0xBF};
  Base64Encode(high, 3, &text);
  EXPECT_STREQ(text.Get(), "+/+/");

  unsigned char out[8];
  memset(out, 0xEE, sizeof(out));
  EXPECT_EQ(Base64Decode("TWE=", out, 8), 2);
  EXPECT_EQ(memcmp(out, "Ma", 2), 0);
  EXPECT_EQ(out[2], 0xEE);
  EXPECT_EQ(Base64Decode("TWFuTWFu", out, 4), 4);  // cut at the buffer
  EXPECT_EQ(Base64Decode("TW!Fu", out, 8), 1);     // stops at a foreign character
  EXPECT_EQ(Base64Decode(nullptr, out, 8), 0);

  // Long data round-trips: no fixed text buffer limits the length.
  std::vector<unsigned char> data(5000);
  for (size_t i = 0; i < data.size(); ++i) data[i] = (unsigned char)(i * 37 + 11);
  Base64Encode(data.data(), (int)data.size(), &text);
  EXPECT_EQ(text.GetLength(), (5000 + 2) / 3 * 4);
  std::vector<unsigned char> back(data.size());
  EXPECT_EQ(Base64Decode(text.Get(), back.data(), (int)back.size()), 5000);
  EXPECT_EQ(back, data);
}
