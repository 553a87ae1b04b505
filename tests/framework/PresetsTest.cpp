#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "framework/BaseTestPlug.h"

namespace {
std::vector<double> Values(const IPreset* preset) {
  std::vector<double> values;
  double v;
  for (int pos = 0; (pos = preset->mChunk.Get(&v, pos)) > 0;) values.push_back(v);
  return values;
}

// A bool, an int and a double parameter: the variable arguments differ in width.
class MixedPlug : public BaseTestPlug {
 public:
  MixedPlug() : BaseTestPlug(3, "2-2", 3) {
    GetParam(0)->InitBool("on", false);
    GetParam(1)->InitInt("count", 2, 0, 10);
    GetParam(2)->InitDouble("level", 0.5, 0.0, 1.0, 0.01);
  }
};
}  // namespace

TEST(Presets, MakeFillsSlotsInOrderAndDefaultsFillTheRest) {
  BaseTestPlug full(3, "2-2", 4);
  full.InitDecibelParams();
  full.MakePreset("A", 0.0, 0.0, 0.0);
  full.MakePreset("B", 0.0, 0.0, 3.0);
  full.MakePreset("C", 0.0, -94.0, 0.0);
  full.MakePreset("D", 0.0, 0.0, -94.0);
  full.MakePreset("E", 1.0, 1.0, 1.0);  // no slot left: nothing changes
  full.MakeDefaultPreset("-", 4);
  EXPECT_STREQ(full.GetPresetName(3), "D");
  EXPECT_EQ(Values(full.GetPreset(1)), (std::vector<double>{0.0, 0.0, 3.0}));
  EXPECT_EQ(Values(full.GetPreset(3)), (std::vector<double>{0.0, 0.0, -94.0}));

  BaseTestPlug three(3, "2-2", 3);
  three.InitDecibelParams();
  three.GetParam(0)->Set(-12.0);
  three.MakePreset("A", 100.0, 0.0, 0.0);  // stored as given, not clamped
  three.MakeDefaultPreset("-", 4);
  EXPECT_EQ(Values(three.GetPreset(0))[0], 100.0);
  for (int i = 1; i < 3; ++i) {
    EXPECT_STREQ(three.GetPresetName(i), "-");
    EXPECT_EQ(Values(three.GetPreset(i)), (std::vector<double>{-12.0, 0.0, 0.0}));
  }

  BaseTestPlug unnamed(3, "2-2", 2);
  unnamed.InitDecibelParams();
  unnamed.MakeDefaultPreset();
  EXPECT_STREQ(unnamed.GetPresetName(0), "Empty");
  EXPECT_FALSE(unnamed.GetPreset(1)->mInitialized);
  unnamed.EnsureDefaultPreset();
  EXPECT_TRUE(unnamed.GetPreset(1)->mInitialized);
  EXPECT_STREQ(unnamed.GetPresetName(1), "Empty");
}

TEST(Presets, VariableArgumentsFollowTheParameterTypes) {
  MixedPlug plug;
  plug.MakePreset("mixed", 1, 7, 0.25);
  EXPECT_EQ(Values(plug.GetPreset(0)), (std::vector<double>{1.0, 7.0, 0.25}));

  plug.MakePresetFromNamedParams("named", 2, 2, 0.75, 1, 9);
  EXPECT_EQ(Values(plug.GetPreset(1)), (std::vector<double>{0.0, 9.0, 0.75}));

  // An unknown index stops reading; the rest keep the current values.
  plug.MakePresetFromNamedParams("bad", 2, 5, 1, 2, 0.9);
  EXPECT_EQ(Values(plug.GetPreset(2)), (std::vector<double>{0.0, 2.0, 0.5}));
}

TEST(Presets, TypedFormsConvertEveryValue) {
  MixedPlug plug;
  plug.MakePreset("typed", {1, 7, 1});  // the last is an int for the double parameter
  plug.MakePreset("short", {1});
  plug.MakePresetFromNamedParams("named", {{2, 1}, {9, 5.0}, {1, 3}, {1, 4}});
  EXPECT_EQ(Values(plug.GetPreset(0)), (std::vector<double>{1.0, 7.0, 1.0}));
  EXPECT_EQ(Values(plug.GetPreset(1)), (std::vector<double>{1.0, 2.0, 0.5}));
  EXPECT_EQ(Values(plug.GetPreset(2)), (std::vector<double>{0.0, 4.0, 1.0}));
}

TEST(Presets, ChunkAndBlobPresets) {
  BaseTestPlug plug(3, "2-2", 3);
  plug.InitDecibelParams();
  ByteChunk chunk;
  double v = -1.5;
  chunk.Put(&v);
  plug.MakePresetFromChunk("chunk", &chunk);
  EXPECT_EQ(Values(plug.GetPreset(0)), (std::vector<double>{-1.5}));

  // "AAAAAAAA8D8=" is the double 1.0; a 16-byte slot keeps its second half zero.
  plug.MakePresetFromBlob("blob", "AAAAAAAA8D8=", 16);
  EXPECT_EQ(Values(plug.GetPreset(1)), (std::vector<double>{1.0, 0.0}));
  plug.MakePresetFromBlob("none", nullptr, -5);
  EXPECT_EQ(plug.GetPreset(2)->mChunk.Size(), 0);
  EXPECT_TRUE(plug.GetPreset(2)->mInitialized);
}

TEST(Presets, PruneKeepsOrder) {
  BaseTestPlug plug(3, "2-2", 4);
  plug.InitDecibelParams();
  plug.MakePreset("zero", 0.0, 0.0, 0.0);
  plug.MakePreset("one", 0.0, 0.0, 0.0);
  plug.MakePreset("two", 0.0, 0.0, 0.0);
  plug.GetPreset(1)->mInitialized = false;
  plug.PruneUninitializedPresets();
  EXPECT_EQ(plug.NPresets(), 2);
  EXPECT_STREQ(plug.GetPresetName(0), "zero");
  EXPECT_STREQ(plug.GetPresetName(1), "two");
  EXPECT_STREQ(plug.GetPresetName(-1), "");
  EXPECT_STREQ(plug.GetPresetName(2), "");
}

TEST(Presets, RestoreByIndexAndName) {
  BaseTestPlug plug(3, "2-2", 4);
  plug.InitDecibelParams();
  plug.MakePreset("same", -1.0, -2.0, -3.0);
  plug.MakePreset("same", -4.0, -5.0, -6.0);
  ByteChunk cut;  // shorter than the parameter list
  double one = 1.0;
  cut.Put(&one);
  plug.MakePresetFromChunk("cut", &cut);
  EXPECT_FALSE(plug.RestorePreset(-1));
  EXPECT_FALSE(plug.RestorePreset(4));
  EXPECT_FALSE(plug.RestorePreset(""));
  EXPECT_FALSE(plug.RestorePreset((const char*)nullptr));
  EXPECT_FALSE(plug.RestorePreset("missing"));

  EXPECT_TRUE(plug.RestorePreset("same"));  // the lower index wins
  EXPECT_EQ(plug.GetCurrentPresetIdx(), 0);
  EXPECT_EQ(plug.GetParam(2)->Value(), -3.0);
  EXPECT_TRUE(plug.RestorePreset(1));
  EXPECT_EQ(plug.GetParam(0)->Value(), -4.0);
  EXPECT_EQ(plug.GetCurrentPresetIdx(), 1);

  EXPECT_FALSE(plug.RestorePreset(2));
  EXPECT_EQ(plug.GetCurrentPresetIdx(), 1);
  EXPECT_EQ(plug.GetParam(0)->Value(), 1.0);  // values read before the end stay
}

TEST(Presets, RestoringAnEmptySlotMakesAUserPreset) {
  BaseTestPlug plug(3, "2-2", 5);
  plug.InitDecibelParams();
  plug.MakePreset("user preset 1", 0.0, 0.0, 0.0);
  plug.MakePreset("my user preset 3", 0.0, 0.0, 0.0);
  plug.GetParam(1)->Set(-7.0);
  EXPECT_TRUE(plug.RestorePreset(3));
  EXPECT_STREQ(plug.GetPresetName(3), "user preset 3");  // two matches plus one
  EXPECT_TRUE(plug.GetPreset(3)->mInitialized);
  EXPECT_EQ(Values(plug.GetPreset(3)), (std::vector<double>{0.0, -7.0, 0.0}));
  EXPECT_EQ(plug.GetCurrentPresetIdx(), 3);

  char name[IPreset::kMaxNameLength];
  MakeDefaultUserPresetName(nullptr, name);
  EXPECT_STREQ(name, "user preset 1");
}

TEST(Presets, ModifyCurrentPreset) {
  BaseTestPlug plug(3, "2-2", 2);
  plug.InitDecibelParams();
  plug.MakePreset("first", 0.0, 0.0, 0.0);
  plug.GetParam(0)->Set(-3.0);
  plug.ModifyCurrentPreset(nullptr);
  EXPECT_STREQ(plug.GetPresetName(0), "first");
  EXPECT_EQ(Values(plug.GetPreset(0)), (std::vector<double>{-3.0, 0.0, 0.0}));
  plug.ModifyCurrentPreset("");
  EXPECT_STREQ(plug.GetPresetName(0), "first");
  plug.ModifyCurrentPreset("renamed");
  EXPECT_STREQ(plug.GetPresetName(0), "renamed");

  // Names longer than the slot are cut to its capacity.
  std::string longName(1000, 'n');
  plug.ModifyCurrentPreset(longName.c_str());
  EXPECT_EQ(std::strlen(plug.GetPresetName(0)), (size_t)IPreset::kMaxNameLength - 1);
  plug.ModifyCurrentPreset(plug.GetPresetName(0) + 10);  // its own name, shifted
  EXPECT_EQ(std::strlen(plug.GetPresetName(0)), (size_t)IPreset::kMaxNameLength - 11);
  EXPECT_FALSE(plug.GetPreset(1)->mInitialized);  // untouched
}
