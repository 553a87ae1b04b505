#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "framework/BaseTestPlug.h"
#include "support/RandomRun.h"

namespace {
using Bytes = std::vector<unsigned char>;

std::string TempPath(const std::string& name) { return testing::TempDir() + "orvanta_" + name; }

// The damaged-input loop writes thousands of files: keep them in memory where we can.
std::string ScratchFilePath(const std::string& name) {
  FILE* probe = fopen("/dev/shm/orvanta_probe", "wb");
  if (!probe) return TempPath(name);
  fclose(probe);
  remove("/dev/shm/orvanta_probe");
  return "/dev/shm/orvanta_" + std::to_string(::getpid()) + "_" + name;
}

Bytes ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::string ReadText(const std::string& path) {
  std::ifstream in(path);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

void WriteFile(const std::string& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), (std::streamsize)bytes.size());
}

int BigEndianAt(const Bytes& b, size_t pos) {
  return (int)((unsigned)b[pos] << 24 | (unsigned)b[pos + 1] << 16 | (unsigned)b[pos + 2] << 8 |
               (unsigned)b[pos + 3]);
}

float BigEndianFloatAt(const Bytes& b, size_t pos) {
  unsigned v = (unsigned)BigEndianAt(b, pos);
  float f;
  memcpy(&f, &v, 4);
  return f;
}

void SetBigEndianAt(Bytes* b, size_t pos, int value) {
  for (int i = 0; i < 4; ++i) b->at(pos + i) = (unsigned char)((unsigned)value >> (24 - 8 * i));
}

std::string FourCCAt(const Bytes& b, size_t pos) {
  return std::string(reinterpret_cast<const char*>(b.data()) + pos, 4);
}

// Keeps its state as a chunk: the parameters followed by a marker the base knows nothing of.
class ChunkPlug : public BaseTestPlug {
 public:
  ChunkPlug() : BaseTestPlug(3, "2-2", 3, true) { InitDecibelParams(); }
  bool SerializeState(ByteChunk* chunk) override {
    SerializeParams(chunk);
    return chunk->PutStr(mMarker.c_str()) > 0;
  }
  int UnserializeState(ByteChunk* chunk, int pos) override {
    pos = UnserializeParams(chunk, pos);
    UTL_String marker;
    pos = chunk->GetStr(&marker, pos);
    mMarkerSeen = marker.Get();
    return pos;
  }
  // Presets of a chunk plug-in hold its state layout, so they are made from the state.
  void MakeStatePreset(const char* name, double a, double b, double c) {
    GetParam(0)->Set(a);
    GetParam(1)->Set(b);
    GetParam(2)->Set(c);
    MakeDefaultPreset(name, 1);
  }
  std::string mMarker = "marker", mMarkerSeen;
};

std::vector<double> ParamValues(const IPluginBase& plug) {
  std::vector<double> v;
  for (int i = 0; i < plug.NParams(); ++i) v.push_back(plug.GetParam(i)->Value());
  return v;
}

void ExpectInRange(const IPluginBase& plug) {
  for (int i = 0; i < plug.NParams(); ++i) {
    const IParam* p = plug.GetParam(i);
    ASSERT_FALSE(std::isnan(p->Value()));
    ASSERT_GE(p->Value(), p->GetMin());
    ASSERT_LE(p->Value(), p->GetMax());
  }
}
}  // namespace

TEST(PresetFiles, ProgramFileInParameterForm) {
  BaseTestPlug plug;
  plug.InitDecibelParams();
  plug.MakePreset("Stereo Enhance", 0.0, 0.0, 3.0);
  plug.RestorePreset(0);
  UTL_String path(TempPath("param.fxp").c_str());
  ASSERT_TRUE(plug.SaveProgramAsFXP(&path));

  Bytes file = ReadFile(path.Get());
  ASSERT_EQ(file.size(), 68u);
  EXPECT_EQ(FourCCAt(file, 0), "CcnK");
  EXPECT_EQ(BigEndianAt(file, 4), 0);
  EXPECT_EQ(FourCCAt(file, 8), "FxCk");
  EXPECT_EQ(BigEndianAt(file, 12), 1);
  EXPECT_EQ(FourCCAt(file, 16), "Qzvk");
  EXPECT_EQ(BigEndianAt(file, 20), 20001);
  EXPECT_EQ(BigEndianAt(file, 24), 3);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(&file[28])), "Stereo Enhance");
  for (int i = 28 + 14; i < 56; ++i) EXPECT_EQ(file[i], 0) << i;
  for (int i = 0; i < 3; ++i)
    EXPECT_EQ(BigEndianFloatAt(file, 56 + 4 * i), (float)plug.GetParam(i)->GetNormalized());

  // Round trip: values come back through the normalised 32-bit floats.
  std::vector<double> saved = ParamValues(plug);
  plug.GetParam(2)->Set(-50.0);
  plug.mProgramChanges = 0;
  ASSERT_TRUE(plug.LoadProgramFromFXP(&path));
  for (int i = 0; i < 3; ++i) EXPECT_NEAR(plug.GetParam(i)->Value(), saved[i], 1e-4);
  EXPECT_EQ(plug.mProgramChanges, 1);
  EXPECT_STREQ(plug.GetPresetName(0), "Stereo Enhance");
}

TEST(PresetFiles, LongNamesAreCutToTheNameField) {
  BaseTestPlug plug;
  plug.InitDecibelParams();
  plug.MakePreset("A name much longer than twenty-seven characters", 0.0, 0.0, 0.0);
  UTL_String path(TempPath("long.fxp").c_str());
  ASSERT_TRUE(plug.SaveProgramAsFXP(&path));
  Bytes file = ReadFile(path.Get());
  ASSERT_EQ(file.size(), 68u);
  EXPECT_EQ(file[28 + 27], 0);  // the field keeps its terminator
  EXPECT_EQ(std::string(reinterpret_cast<char*>(&file[28])), "A name much longer than twe");

  // A file whose name fills all 28 bytes loads without reading past the field.
  for (int i = 28; i < 56; ++i) file[i] = 'x';
  WriteFile(path.Get(), file);
  ASSERT_TRUE(plug.LoadProgramFromFXP(&path));
  EXPECT_EQ(std::string(plug.GetPresetName(0)), std::string(28, 'x'));
}

TEST(PresetFiles, ProgramFileInChunkForm) {
  ChunkPlug plug;
  plug.MakeStatePreset("chunky", -1.0, -2.0, -3.0);
  ASSERT_TRUE(plug.RestorePreset(0));
  UTL_String path(TempPath("chunk.fxp").c_str());
  ASSERT_TRUE(plug.SaveProgramAsFXP(&path));
  Bytes file = ReadFile(path.Get());
  int stateSize = 8 + 24 + 4 + 6;  // version header, parameters, marker
  ASSERT_EQ(file.size(), (size_t)(60 + stateSize));
  EXPECT_EQ(FourCCAt(file, 8), "FPCh");
  EXPECT_EQ(BigEndianAt(file, 4), stateSize + 60);
  EXPECT_EQ(BigEndianAt(file, 56), stateSize);
  EXPECT_EQ(memcmp(&file[60], "tffp", 4), 0);

  plug.GetParam(0)->Set(5.0);
  plug.mMarkerSeen.clear();
  ASSERT_TRUE(plug.LoadProgramFromFXP(&path));
  EXPECT_EQ(ParamValues(plug), (std::vector<double>{-1.0, -2.0, -3.0}));
  EXPECT_EQ(plug.mMarkerSeen, "marker");
}

TEST(PresetFiles, LargeProgramFilesAreReadWhole) {
  ChunkPlug plug;
  plug.mMarker.assign(300000, 'm');
  plug.mMarker.back() = 'e';
  UTL_String path(TempPath("large.fxp").c_str()), fifo(TempPath("large.fifo").c_str());
  ASSERT_TRUE(plug.SaveProgramAsFXP(&path));
  // A pipe has no size to read ahead, so its chunk grows while it is read.
  remove(fifo.Get());
  ASSERT_EQ(mkfifo(fifo.Get(), 0600), 0);
  std::thread writer([&] { WriteFile(fifo.Get(), ReadFile(path.Get())); });
  for (UTL_String* source : {&path, &fifo}) {
    plug.mMarkerSeen.clear();
    ASSERT_TRUE(plug.LoadProgramFromFXP(source)) << source->Get();
    EXPECT_EQ(plug.mMarkerSeen, plug.mMarker) << source->Get();
  }
  writer.join();
  remove(fifo.Get());
}

TEST(PresetFiles, BankFileInParameterForm) {
  BaseTestPlug plug(3, "2-2", 3);
  plug.InitDecibelParams();
  plug.MakePreset("one", -1.0, 0.0, 0.0);
  plug.MakePreset("two", 0.0, -2.0, 0.0);
  plug.MakePreset("three", 0.0, 0.0, -3.0);
  plug.RestorePreset(1);
  UTL_String path(TempPath("param.fxb").c_str());
  ASSERT_TRUE(plug.SaveBankAsFXB(&path));
  Bytes file = ReadFile(path.Get());
  ASSERT_EQ(file.size(), 156u + 3 * 68u);
  EXPECT_EQ(FourCCAt(file, 8), "FxBk");
  EXPECT_EQ(BigEndianAt(file, 12), 2);
  EXPECT_EQ(BigEndianAt(file, 24), 3);
  EXPECT_EQ(BigEndianAt(file, 28), 1);
  EXPECT_EQ(FourCCAt(file, 156 + 68 + 8), "FxCk");
  EXPECT_EQ(std::string(reinterpret_cast<char*>(&file[156 + 68 + 28])), "two");

  BaseTestPlug other(3, "2-2", 3);
  other.InitDecibelParams();
  ASSERT_TRUE(other.LoadBankFromFXB(&path));
  EXPECT_STREQ(other.GetPresetName(0), "one");
  EXPECT_STREQ(other.GetPresetName(2), "three");
  EXPECT_EQ(other.GetCurrentPresetIdx(), 1);
  EXPECT_NEAR(other.GetParam(1)->Value(), -2.0, 1e-4);
  EXPECT_EQ(other.mProgramChanges, 1);
}

TEST(PresetFiles, BankFileInChunkForm) {
  ChunkPlug plug;
  plug.MakeStatePreset("a", -1.0, -1.0, -1.0);
  plug.MakeStatePreset("b", -2.0, -2.0, -2.0);
  UTL_String path(TempPath("chunk.fxb").c_str());
  ASSERT_TRUE(plug.SaveBankAsFXB(&path));
  Bytes file = ReadFile(path.Get());
  EXPECT_EQ(FourCCAt(file, 8), "FBCh");
  EXPECT_EQ(BigEndianAt(file, 4), (int)file.size());  // bank chunk + 160
  EXPECT_EQ(BigEndianAt(file, 156), (int)file.size() - 160);

  ChunkPlug other;
  ASSERT_TRUE(other.LoadBankFromFXB(&path));
  EXPECT_STREQ(other.GetPresetName(1), "b");
  EXPECT_TRUE(other.GetPreset(1)->mInitialized);
  EXPECT_STREQ(other.GetPresetName(2), "empty");
  EXPECT_TRUE(other.RestorePreset(1));
  EXPECT_EQ(ParamValues(other), (std::vector<double>{-2.0, -2.0, -2.0}));
}

TEST(PresetFiles, RefusedFilesChangeNothing) {
  BaseTestPlug plug;
  plug.InitDecibelParams();
  plug.MakePreset("keep", -5.0, -5.0, -5.0);
  plug.RestorePreset(0);
  UTL_String path(TempPath("refused.fxp").c_str());
  ASSERT_TRUE(plug.SaveProgramAsFXP(&path));
  Bytes good = ReadFile(path.Get());

  using Fault = IPluginBase::PresetFileFault;
  auto expectRefused = [&](Bytes bytes, const char* what, Fault expected = Fault::kForeign) {
    WriteFile(path.Get(), bytes);
    plug.GetParam(0)->Set(-7.0);
    Fault fault = Fault::kNone;
    EXPECT_FALSE(plug.LoadProgramFromFXP(&path, &fault)) << what;
    EXPECT_EQ(fault, expected) << what;
    EXPECT_EQ(plug.GetParam(0)->Value(), -7.0) << what;
    EXPECT_STREQ(plug.GetPresetName(0), "keep") << what;
  };
  Bytes version2 = good;
  SetBigEndianAt(&version2, 12, 2);
  expectRefused(version2, "format version 2");
  Bytes otherPlug = good;
  SetBigEndianAt(&otherPlug, 16, FourCC("Abcd"));
  expectRefused(otherPlug, "unique code");
  Bytes badMagic = good;
  badMagic[0] = 'X';
  expectRefused(badMagic, "magic");
  Bytes chunkForm = good;
  memcpy(&chunkForm[8], "FPCh", 4);  // this plug-in keeps no chunks
  expectRefused(chunkForm, "chunk form");
  expectRefused(Bytes(good.begin(), good.begin() + 40), "shorter than the header",
                Fault::kTruncated);
  expectRefused(Bytes(good.begin(), good.begin() + 60), "1 of 3 values", Fault::kTruncated);

  UTL_String empty("");
  UTL_String missing(TempPath("no/such/dir/file.fxp").c_str());
  EXPECT_FALSE(plug.LoadProgramFromFXP(&empty));
  EXPECT_FALSE(plug.LoadProgramFromFXP(nullptr));
  EXPECT_FALSE(plug.LoadProgramFromFXP(&missing));
  EXPECT_FALSE(plug.LoadBankFromFXB(&missing));
  EXPECT_FALSE(plug.SaveProgramAsFXP(&empty));
  EXPECT_FALSE(plug.SaveProgramAsFXP(&missing));
  EXPECT_FALSE(plug.SaveBankAsFXB(&missing));
  EXPECT_FALSE(plug.SaveBankAsFXB(nullptr));
  EXPECT_FALSE(plug.DumpPresetBlob(missing.Get()));
  EXPECT_FALSE(plug.DumpBankBlob(""));
  const char* names[] = {"kGain", "kMono", "kStereo"};
  EXPECT_FALSE(plug.DumpPresetSrcCode(missing.Get(), names));
  EXPECT_FALSE(plug.DumpPresetSrcCode(TempPath("x.txt").c_str(), nullptr));
}

TEST(PresetFiles, ShortProgramsAndOversizedBanks) {
  BaseTestPlug plug;
  plug.InitDecibelParams();
  plug.MakePreset("p", 0.0, 0.0, 0.0);
  plug.RestorePreset(0);
  UTL_String path(TempPath("short.fxp").c_str());
  ASSERT_TRUE(plug.SaveProgramAsFXP(&path));
  Bytes file = ReadFile(path.Get());
  // A program of two parameters (an older version's) for three: the third keeps its value.
  file.resize(56 + 8);
  SetBigEndianAt(&file, 24, 2);
  SetBigEndianAt(&file, 56, 0);  // normalised 0.0f
  float half = 0.5f;
  unsigned bits;
  memcpy(&bits, &half, 4);
  SetBigEndianAt(&file, 60, (int)bits);
  WriteFile(path.Get(), file);
  plug.GetParam(2)->Set(-33.0);
  ASSERT_TRUE(plug.LoadProgramFromFXP(&path));
  EXPECT_EQ(plug.GetParam(0)->Value(), -94.0);
  EXPECT_NEAR(plug.GetParam(1)->Value(), -94.0 + 100.0 * std::pow(0.5, 0.19), 1e-9);
  EXPECT_EQ(plug.GetParam(2)->Value(), -33.0);

  // A bank of five programs for two slots: the extra programs are ignored.
  BaseTestPlug big(3, "2-2", 5);
  big.InitDecibelParams();
  for (int i = 0; i < 5; ++i) big.MakePreset("p", -10.0 * i, 0.0, 0.0);
  UTL_String bankPath(TempPath("big.fxb").c_str());
  ASSERT_TRUE(big.SaveBankAsFXB(&bankPath));
  BaseTestPlug small(3, "2-2", 2);
  small.InitDecibelParams();
  small.MakePreset("first", 1.0, 1.0, 1.0);
  small.MakePreset("second", 2.0, 2.0, 2.0);
  ASSERT_TRUE(small.LoadBankFromFXB(&bankPath));
  EXPECT_EQ(small.NPresets(), 2);
  EXPECT_TRUE(small.RestorePreset(1));
  EXPECT_NEAR(small.GetParam(0)->Value(), -10.0, 1e-4);
  EXPECT_TRUE(small.RestorePreset(0));
  EXPECT_NEAR(small.GetParam(0)->Value(), 0.0, 1e-4);

  // A damaged record anywhere, or a count of programs the bank does not hold, refuses the
  // whole bank before anything changes.
  const Bytes whole = ReadFile(bankPath.Get());
  using Fault = IPluginBase::PresetFileFault;
  const struct {
    size_t at;
    int value;
    Fault fault;
  } damages[] = {
      {156 + 68 + 24, 2, Fault::kMalformed},  // the second program claims 2 parameters
      {24, 0, Fault::kMalformed},             // programs counted: 0, -1, more than there are
      {24, -1, Fault::kMalformed},
      {24, 100000, Fault::kTruncated},
  };
  for (const auto& damage : damages) {
    Bytes bank = whole;
    SetBigEndianAt(&bank, damage.at, damage.value);
    WriteFile(bankPath.Get(), bank);
    BaseTestPlug victim(3, "2-2", 2);
    victim.InitDecibelParams();
    victim.MakePreset("first", 1.0, 1.0, 1.0);
    victim.MakePreset("second", 2.0, 2.0, 2.0);
    Fault fault = Fault::kNone;
    EXPECT_FALSE(victim.LoadBankFromFXB(&bankPath, &fault)) << damage.value;
    EXPECT_EQ(fault, damage.fault) << damage.value;
    EXPECT_STREQ(victim.GetPresetName(0), "first");
    EXPECT_EQ(victim.mProgramChanges, 0);
  }
}

TEST(PresetFiles, TextDumps) {
  BaseTestPlug plug(3, "2-2", 2);
  plug.GetParam(0)->InitBool("on", true);
  plug.GetParam(1)->InitInt("count", 7, 0, 10);
  plug.GetParam(2)->InitDouble("level", -0.25, -1.0, 1.0, 0.01);
  const char* names[] = {"kOn", "kCount", "kLevel"};
  std::string src = TempPath("src.txt");
  ASSERT_TRUE(plug.DumpPresetSrcCode(src.c_str(), names));
  EXPECT_EQ(ReadText(src),
            "  MakePresetFromNamedParams(\"name\", 3,\n    kOn, true,\n    kCount, 7,\n"
            "    kLevel, -0.250000);\n");

  plug.MakePresetFromBlob("Ma", "TWE=", 2);
  plug.MakePresetFromBlob("M", "TQ==", 1);
  std::string blob = TempPath("blob.txt");
  ASSERT_TRUE(plug.DumpPresetBlob(blob.c_str()));
  EXPECT_EQ(ReadText(blob), "MakePresetFromBlob(\"name\", \"TWE=\", 2);\n");
  std::string bank = TempPath("bank.txt");
  ASSERT_TRUE(plug.DumpBankBlob(bank.c_str()));
  EXPECT_EQ(ReadText(bank),
            "MakePresetFromBlob(\"Ma\", \"TWE=\", 2);\nMakePresetFromBlob(\"M\", \"TQ==\", 1);\n");
}

TEST(PresetFiles, LongChunksDumpWhole) {
  BaseTestPlug plug(3, "2-2", 1);
  ByteChunk chunk;
  std::vector<unsigned char> data(3000);
  for (size_t i = 0; i < data.size(); ++i) data[i] = (unsigned char)(i * 7);
  chunk.PutBytes(data.data(), (int)data.size());
  plug.MakePresetFromChunk("long", &chunk);
  std::string path = TempPath("longblob.txt");
  ASSERT_TRUE(plug.DumpPresetBlob(path.c_str()));
  std::string text = ReadText(path);
  size_t start = text.find(", \"") + 3;
  size_t end = text.find('"', start);
  ASSERT_NE(end, std::string::npos);
  EXPECT_EQ(end - start, 4000u);
  EXPECT_EQ(text.substr(end), "\", 3000);\n");

  // The dumped text makes the same preset again.
  BaseTestPlug again(3, "2-2", 1);
  again.MakePresetFromBlob("long", text.substr(start, end - start).c_str(), 3000);
  EXPECT_TRUE(again.GetPreset(0)->mChunk.IsEqual(chunk));
}

TEST(PresetFiles, DamagedInputNeverEscapesTheParameterRanges) {
  RandomRun run(12345, 3000);
  std::mt19937 rng((std::mt19937::result_type)run.Seed());
  BaseTestPlug source(3, "2-2", 3);
  source.InitDecibelParams();
  source.MakePreset("a", -1.0, -2.0, -3.0);
  source.MakePreset("b", 6.0, -94.0, 0.0);
  UTL_String fxp(TempPath("fuzz_src.fxp").c_str()), fxb(TempPath("fuzz_src.fxb").c_str());
  ASSERT_TRUE(source.SaveProgramAsFXP(&fxp));
  ASSERT_TRUE(source.SaveBankAsFXB(&fxb));
  ChunkPlug chunkSource;
  chunkSource.MakeStatePreset("c", -4.0, -5.0, -6.0);
  UTL_String cfxp(TempPath("fuzz_src_c.fxp").c_str()), cfxb(TempPath("fuzz_src_c.fxb").c_str());
  ASSERT_TRUE(chunkSource.SaveProgramAsFXP(&cfxp));
  ASSERT_TRUE(chunkSource.SaveBankAsFXB(&cfxb));
  const Bytes seeds[] = {ReadFile(fxp.Get()), ReadFile(fxb.Get()), ReadFile(cfxp.Get()),
                         ReadFile(cfxb.Get())};

  BaseTestPlug target(3, "2-2", 3);
  target.InitDecibelParams();
  ChunkPlug chunkTarget;
  UTL_String path(ScratchFilePath("fuzz.bin").c_str());

  for (int round = 0; round < run.Iterations(); ++round) {
    Bytes bytes = seeds[round % 4];
    switch (rng() % 4) {
      case 0:  // flip a few bytes
        for (int k = 0, n = 1 + (int)(rng() % 6); k < n; ++k)
          bytes[rng() % bytes.size()] = (unsigned char)rng();
        break;
      case 1:  // cut
        bytes.resize(rng() % bytes.size());
        break;
      case 2:  // grow with garbage
        for (int k = 0, n = (int)(rng() % 64); k < n; ++k) bytes.push_back((unsigned char)rng());
        break;
      default:  // random bytes behind a plausible header
        for (size_t k = 28; k < bytes.size(); ++k) bytes[k] = (unsigned char)rng();
        break;
    }
    WriteFile(path.Get(), bytes);
    target.LoadProgramFromFXP(&path);
    target.LoadBankFromFXB(&path);
    chunkTarget.LoadProgramFromFXP(&path);
    chunkTarget.LoadBankFromFXB(&path);
    ExpectInRange(target);
    ExpectInRange(chunkTarget);

    // The same bytes as a state chunk and as a preset list.
    ByteChunk chunk;
    chunk.PutBytes(bytes.data(), (int)bytes.size());
    int start = (int)(rng() % (bytes.size() + 2)) - 1;
    target.UnserializeParams(&chunk, start);
    target.UnserializePresets(&chunk, start);
    ExpectInRange(target);
    for (int i = 0; i < target.NPresets(); ++i)
      ASSERT_LT(std::strlen(target.GetPresetName(i)), (size_t)IPreset::kMaxNameLength);
    if (HasFatalFailure()) break;
  }
  remove(path.Get());
}
