#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "effect/Orvanta.h"
#include "effect/StereoImageKernel.h"
#include "graphics/IBitmapTextControl.h"
#include "host/RealtimeCounter.h"
#include "raster/Raster.h"

namespace {
IPluginInstanceInfo Info() {
  IPluginInstanceInfo info;
  info.mBundleID.Set("com.Quev.audiounit.Orvanta");
  info.mViewFactoryClassName.Set("Orvanta_View");
  return info;
}

// The effect with readouts of its own, standing in for the editor's.
class ReadoutOrvanta : public Orvanta {
 public:
  ReadoutOrvanta()
      : Orvanta(Info()),
        mGainReadout(this, IRECT(0, 0, 10, 10), &mFont),
        mMonoReadout(this, IRECT(0, 0, 10, 10), &mFont),
        mStereoReadout(this, IRECT(0, 0, 10, 10), &mFont) {
    mGainText = &mGainReadout;
    mMonoText = &mMonoReadout;
    mStereoText = &mStereoReadout;
  }
  IBitmap mFont;  // never drawn
  IBitmapTextControl mGainReadout, mMonoReadout, mStereoReadout;
};

std::string Readout(double dB) {
  char text[Orvanta::kReadoutSize];
  Orvanta::FormatReadout(dB, text);
  return text;
}

struct Block {
  explicit Block(int n) : inL(n), inR(n), outL(n, -7.0), outR(n, -7.0) {
    for (int i = 0; i < n; ++i) {
      inL[i] = std::sin(0.1 * i);
      inR[i] = 0.5 * std::cos(0.37 * i);
    }
  }
  void Run(Orvanta& plug) {
    double* ins[] = {inL.data(), inR.data()};
    double* outs[] = {outL.data(), outR.data()};
    plug.ProcessDoubleReplacing(ins, outs, (int)inL.size());
  }
  std::vector<double> inL, inR, outL, outR;
};
}  // namespace

TEST(Orvanta, IdentityParametersAndFactoryPresets) {
  Orvanta plug(Info());
  EXPECT_STREQ(plug.GetEffectName(), "Orvanta");
  EXPECT_STREQ(plug.GetProductName(), "");
  EXPECT_STREQ(plug.GetMfrName(), "Quev");
  EXPECT_EQ(plug.GetEffectVersion(false), 0x20001);
  EXPECT_EQ(plug.GetUniqueID(), FourCC("Qzvk"));
  EXPECT_EQ(plug.GetMfrID(), FourCC("Qzvk"));
  EXPECT_FALSE(plug.DoesStateChunks());
  EXPECT_FALSE(plug.DoesMIDI());
  EXPECT_FALSE(plug.IsInst());
  EXPECT_EQ(plug.GetLatency(), 0);
  EXPECT_TRUE(plug.LegalIO(2, 2));
  EXPECT_FALSE(plug.LegalIO(1, 1));

  const char* names[] = {"Gain", "Mono", "Stereo"};
  const double shapes[] = {0.09, 0.19, 0.19};
  ASSERT_EQ(plug.NParams(), 3);
  for (int i = 0; i < 3; ++i) {
    const IParam* p = plug.GetParam(i);
    EXPECT_STREQ(p->GetNameForHost(), names[i]);
    EXPECT_STREQ(p->GetLabelForHost(), "dB");
    EXPECT_EQ(p->Type(), IParam::kTypeDouble);
    EXPECT_EQ(p->GetMin(), -94.0);
    EXPECT_EQ(p->GetMax(), 6.0);
    EXPECT_EQ(p->GetStep(), 0.01);
    EXPECT_EQ(p->GetShape(), shapes[i]);
    EXPECT_EQ(p->GetPrecision(), 2);
    EXPECT_EQ(p->Value(), 0.0);
  }

  struct Preset {
    const char* name;
    double gain, mono, stereo;
  } presets[] = {{"No Change", 0, 0, 0},
                 {"Stereo Enhance", 0, 0, 3},
                 {"Only Stereo", 0, -94, 0},
                 {"Only Mono", 0, 0, -94}};
  ASSERT_EQ(plug.NPresets(), 4);
  for (int i = 0; i < 4; ++i) {
    EXPECT_STREQ(plug.GetPresetName(i), presets[i].name);
    ASSERT_TRUE(plug.RestorePreset(i));
    EXPECT_EQ(plug.GetParam(Orvanta::kGain)->Value(), presets[i].gain);
    EXPECT_EQ(plug.GetParam(Orvanta::kMono)->Value(), presets[i].mono);
    EXPECT_EQ(plug.GetParam(Orvanta::kStereo)->Value(), presets[i].stereo);
  }
}

TEST(Orvanta, GainLaw) {
  Orvanta plug(Info());
  EXPECT_EQ(plug.GetMonoGain(), 1.0);
  EXPECT_EQ(plug.GetStereoGain(), 1.0);
  EXPECT_EQ(plug.GetGain(), 0.5);
  plug.OnParamReset();
  EXPECT_EQ(plug.GetMonoGain(), 0.5);
  EXPECT_EQ(plug.GetStereoGain(), 0.5);
  EXPECT_EQ(plug.GetGain(), 1.0);

  plug.GetParam(Orvanta::kMono)->Set(-93.0);
  plug.OnParamChange(Orvanta::kMono);
  EXPECT_EQ(plug.GetMonoGain(), 0.0);
  plug.GetParam(Orvanta::kMono)->Set(-92.99);
  plug.OnParamChange(Orvanta::kMono);
  EXPECT_DOUBLE_EQ(plug.GetMonoGain(), 0.5 * std::pow(10.0, -92.99 / 20.0));
  plug.GetParam(Orvanta::kStereo)->Set(-94.0);
  plug.OnParamChange(Orvanta::kStereo);
  EXPECT_EQ(plug.GetStereoGain(), 0.0);
  plug.GetParam(Orvanta::kGain)->Set(6.0);
  plug.OnParamChange(Orvanta::kGain);
  EXPECT_DOUBLE_EQ(plug.GetGain(), std::pow(10.0, 0.3));
  EXPECT_NEAR(plug.GetGain(), 1.9953, 1e-4);
}

TEST(Orvanta, OtherIndicesChangeNothingAndReleaseTheLock) {
  Orvanta plug(Info());
  plug.OnParamReset();
  plug.GetParam(0)->Set(-20.0);  // changed, but no hook for it runs below
  plug.OnParamChange(3);
  plug.OnParamChange(-1);
  plug.Reset();
  EXPECT_EQ(plug.GetGain(), 1.0);
  EXPECT_EQ(plug.GetMonoGain(), 0.5);
  bool free = false;
  std::thread([&] {
    free = plug.GetMutex()->TryEnter();
    if (free) plug.GetMutex()->Leave();
  }).join();
  EXPECT_TRUE(free);
}

TEST(Orvanta, ProcessingAtUnityAndTheIsolatingPresets) {
  Orvanta plug(Info());
  plug.OnParamReset();
  Block unity(64);
  unity.Run(plug);
  for (int i = 0; i < 64; ++i) {
    EXPECT_NEAR(unity.outL[i], unity.inL[i], 1e-15);
    EXPECT_NEAR(unity.outR[i], unity.inR[i], 1e-15);
  }

  ASSERT_TRUE(plug.RestorePreset("Only Stereo"));
  Block side(64);
  side.Run(plug);
  for (int i = 0; i < 64; ++i) {
    EXPECT_DOUBLE_EQ(side.outL[i], (side.inL[i] - side.inR[i]) * 0.5 * plug.GetGain());
    EXPECT_EQ(side.outR[i], -side.outL[i]);
  }

  ASSERT_TRUE(plug.RestorePreset("Only Mono"));
  plug.GetParam(Orvanta::kGain)->Set(-6.0);
  plug.OnParamChange(Orvanta::kGain);
  Block mid(64);
  mid.Run(plug);
  double gain = std::pow(10.0, -6.0 / 20.0);
  for (int i = 0; i < 64; ++i) {
    EXPECT_DOUBLE_EQ(mid.outL[i], (mid.inL[i] + mid.inR[i]) * 0.5 * gain);
    EXPECT_EQ(mid.outR[i], mid.outL[i]);
  }
}

TEST(Orvanta, InPlaceEmptyBlocksAndNoAllocation) {
  Orvanta plug(Info());
  plug.RestorePreset("Stereo Enhance");
  Block reference(37);
  reference.Run(plug);

  Block inPlace(37);
  double* io[] = {inPlace.inL.data(), inPlace.inR.data()};
  realtime_counter::Scope scope;
  plug.ProcessDoubleReplacing(io, io, 37);
  EXPECT_EQ(scope.Allocations(), 0);
  EXPECT_EQ(inPlace.inL, reference.outL);
  EXPECT_EQ(inPlace.inR, reference.outR);

  Block empty(4);
  double* ins[] = {empty.inL.data(), empty.inR.data()};
  double* outs[] = {empty.outL.data(), empty.outR.data()};
  plug.ProcessDoubleReplacing(ins, outs, 0);
  plug.ProcessDoubleReplacing(ins, outs, -3);
  EXPECT_EQ(empty.outL, std::vector<double>(4, -7.0));
  EXPECT_EQ(empty.outR, std::vector<double>(4, -7.0));
}

TEST(Orvanta, HostBlockPathAllocatesNothing) {
  Orvanta plug(Info());
  plug.OnParamReset();
  plug.SetBlockSize(256);
  plug.SetInputChannelConnections(0, 2, true);
  plug.SetOutputChannelConnections(0, 2, true);
  std::vector<float> inL(256, 0.25f), inR(256, -0.5f), outL(256), outR(256);
  float* ins[] = {inL.data(), inR.data()};
  float* outs[] = {outL.data(), outR.data()};
  realtime_counter::Scope scope;
  plug.AttachInputBuffers(0, 2, ins, 256);
  plug.AttachOutputBuffers(0, 2, outs);
  plug.ProcessBuffers(0.0f, 256);
  EXPECT_EQ(scope.Allocations(), 0);
  EXPECT_FLOAT_EQ(outL[255], 0.25f);
  EXPECT_FLOAT_EQ(outR[255], -0.5f);
}

// Samples over a wide range of magnitudes and both signs, never subnormal.
template <class T>
std::vector<T> RandomSamples(size_t n, unsigned seed) {
  std::mt19937 rng(seed);
  std::uniform_real_distribution<double> mantissa(-1.0, 1.0);
  std::uniform_int_distribution<int> exponent(-20, 4);
  std::vector<T> v(n);
  for (T& x : v) x = (T)std::ldexp(mantissa(rng), exponent(rng));
  return v;
}

// Every path, every split of the buffer into blocks and in place give the scalar samples.
class StereoImagePaths : public ::testing::TestWithParam<KernelPath> {
 protected:
  template <class T>
  void ExpectScalarSamples() {
    StereoImageFunc<T> path = StereoImageKernel<T>(GetParam());
    if (!path) GTEST_SKIP() << "this processor lacks the instruction set";
    constexpr int n = 1000;
    const std::vector<T> inL = RandomSamples<T>(n, 1), inR = RandomSamples<T>(n, 2);
    const T weights[][2] = {{(T)0.5, (T)0.5}, {(T)0.37, (T)-1.3}, {0, (T)0.8}, {(T)2.1, 0}};
    for (const auto& w : weights) {
      std::vector<T> refL(n), refR(n);
      StereoImageKernel<T>(KernelPath::kScalar)(inL.data(), inR.data(), refL.data(), refR.data(), n,
                                                w[0], w[1]);
      for (int block : {n, 1, 3, 7, 8, 15, 16, 17, 33, 64}) {
        std::vector<T> outL(n), outR(n), ioL = inL, ioR = inR;
        for (int at = 0; at < n; at += block) {
          const int frames = std::min(block, n - at);
          path(inL.data() + at, inR.data() + at, outL.data() + at, outR.data() + at, frames, w[0],
               w[1]);
          path(ioL.data() + at, ioR.data() + at, ioL.data() + at, ioR.data() + at, frames, w[0],
               w[1]);
        }
        ASSERT_EQ(outL, refL) << "blocks of " << block;
        ASSERT_EQ(outR, refR) << "blocks of " << block;
        ASSERT_EQ(ioL, refL) << "in place, blocks of " << block;
        ASSERT_EQ(ioR, refR) << "in place, blocks of " << block;
      }
    }
  }
};

TEST_P(StereoImagePaths, GiveTheScalarSamples) {
  ExpectScalarSamples<float>();
  ExpectScalarSamples<double>();
}

INSTANTIATE_TEST_SUITE_P(Orvanta, StereoImagePaths,
                         ::testing::Values(KernelPath::kScalar, KernelPath::kSSE2,
                                           KernelPath::kAVX2));

// 32-bit processing against the 64-bit arithmetic: each output is off by at most four float
// roundings (4 x 2^-24) of |mid| + |side|, so at most 4 ulp where mid and side do not cancel;
// -94 dB gives exact silence.
TEST(Orvanta, SinglePrecisionStaysWithinFourRoundingsOfThe64BitArithmetic) {
  Orvanta plug(Info());
  constexpr int n = 4096;
  std::vector<float> inL = RandomSamples<float>(n, 3), inR = RandomSamples<float>(n, 4);
  const double settings[][3] = {{0, 0, 0}, {0, 0, 3},           {0, -94, 0}, {0, 0, -94},
                                {6, 6, 6}, {-3.5, 2.25, -7.75}, {-94, 3, 3}, {-20, -92.99, 5.5}};
  for (const auto& dB : settings) {
    for (int i = 0; i < 3; ++i) plug.GetParam(i)->Set(dB[i]);
    plug.OnParamReset();
    std::vector<float> outL(n), outR(n);
    float* ins[] = {inL.data(), inR.data()};
    float* outs[] = {outL.data(), outR.data()};
    plug.ProcessSingleReplacing(ins, outs, n);
    const double gain = Orvanta::GainFromDecibels(dB[0]);
    for (int i = 0; i < n; ++i) {
      const double mid = ((double)inL[i] + inR[i]) * 0.5 * Orvanta::GainFromDecibels(dB[1]);
      const double side = ((double)inL[i] - inR[i]) * 0.5 * Orvanta::GainFromDecibels(dB[2]);
      const double bound = 4.0 * std::ldexp(std::abs(mid * gain) + std::abs(side * gain), -24);
      ASSERT_LE(std::abs(outL[i] - (mid + side) * gain), bound * (1 + 1e-6)) << dB[0] << " " << i;
      ASSERT_LE(std::abs(outR[i] - (mid - side) * gain), bound * (1 + 1e-6)) << dB[0] << " " << i;
      if (gain == 0.0) {
        ASSERT_EQ(outL[i], 0.0f);
        ASSERT_EQ(outR[i], 0.0f);
      }
    }
  }
}

TEST(Orvanta, ReadoutTexts) {
  EXPECT_EQ(Readout(6.0), "6.00");
  EXPECT_EQ(Readout(0.0), "0.00");
  EXPECT_EQ(Readout(-0.03), "0.00");
  EXPECT_EQ(Readout(-0.05), "0.00");
  EXPECT_EQ(Readout(-0.06), "-0.1");
  EXPECT_EQ(Readout(-5.73), "-5.7");
  EXPECT_EQ(Readout(-9.99), "-10.0");
  EXPECT_EQ(Readout(-10.0), "-10");  // whole numbers from -10 down
  EXPECT_EQ(Readout(-10.01), "-10");
  EXPECT_EQ(Readout(-45.0), "-45");
  EXPECT_EQ(Readout(-45.01), "-#$");
  EXPECT_EQ(Readout(-94.0), "-#$");

  ReadoutOrvanta plug;
  plug.GetParam(Orvanta::kGain)->Set(6.0);
  plug.GetParam(Orvanta::kMono)->Set(-5.73);
  plug.GetParam(Orvanta::kStereo)->Set(-94.0);
  plug.OnParamReset();
  EXPECT_STREQ(plug.mGainReadout.GetTextForPlug(), "6.00");
  EXPECT_STREQ(plug.mMonoReadout.GetTextForPlug(), "-5.7");
  EXPECT_STREQ(plug.mStereoReadout.GetTextForPlug(), "-#$");
}

TEST(Orvanta, StateChunks) {
  Orvanta plug(Info());
  plug.GetParam(Orvanta::kMono)->Set(-94.0);
  plug.GetParam(Orvanta::kStereo)->Set(3.0);
  ByteChunk chunk;
  ASSERT_TRUE(plug.SerializeState(&chunk));
  const unsigned char expected[24] = {0, 0,    0,    0,    0, 0, 0, 0, 0, 0, 0, 0,
                                      0, 0x80, 0x57, 0xC0, 0, 0, 0, 0, 0, 0, 8, 0x40};
  ASSERT_EQ(chunk.Size(), 24);
  EXPECT_EQ(memcmp(chunk.GetBytes(), expected, 24), 0);

  // 16 bytes: Gain and Mono from the chunk, Stereo to 0 dB; the gains follow.
  Orvanta other(Info());
  other.GetParam(Orvanta::kStereo)->Set(-30.0);
  ByteChunk shortChunk;
  double gain = -6.0, mono = 3.0;
  shortChunk.Put(&gain);
  shortChunk.Put(&mono);
  EXPECT_EQ(other.UnserializeState(&shortChunk, 0), -1);
  EXPECT_EQ(other.GetParam(Orvanta::kStereo)->Value(), 0.0);
  EXPECT_DOUBLE_EQ(other.GetGain(), std::pow(10.0, -6.0 / 20.0));
  EXPECT_DOUBLE_EQ(other.GetMonoGain(), 0.5 * std::pow(10.0, 3.0 / 20.0));
  EXPECT_EQ(other.GetStereoGain(), 0.5);
}

TEST(Orvanta, Factory) {
  std::unique_ptr<OrvantaWrapper> plug(MakePlug());
  ASSERT_NE(plug, nullptr);
  EXPECT_STREQ(plug->GetEffectName(), "Orvanta");
  EXPECT_EQ(plug->NPresets(), 4);
  std::unique_ptr<OrvantaWrapper> second(MakePlug());
  EXPECT_NE(second.get(), plug.get());
}

// No bundle is known in this process, so no image can load: the editor is still built,
// draws what it can and names the picture that failed.
TEST(Orvanta, EditorWithoutItsImagesStillOpens) {
  Orvanta plug(Info());
  auto* graphics = static_cast<OrvantaGraphics*>(plug.GetGUI());
  ASSERT_NE(graphics, nullptr);
  EXPECT_EQ(graphics->GetNControls(), orvanta_editor::kNumControls);
  EXPECT_STREQ(graphics->GetLastImageFailure(), orvanta_editor::kFontFile);
  plug.OnParamReset();
  graphics->SetAllControlsDirty();
  IRECT all(0, 0, graphics->Width(), graphics->Height());
  EXPECT_FALSE(graphics->Draw(&all));  // drawn, but there is no window to copy to
  EXPECT_FALSE(graphics->WindowIsOpen());
}

// A bundle whose background is not a PNG: the other pictures still show, and the editor
// names the one that failed. Runs after the test above, which needs no bundle known.
TEST(Orvanta, EditorWithACorruptImageShowsTheRest) {
  char root[] = "/tmp/orvanta-bundle-XXXXXX";
  ASSERT_NE(mkdtemp(root), nullptr);
  const std::string bundle = std::string(root) + "/Orvanta.component";
  const std::string resources = bundle + "/Contents/Resources";
  ASSERT_EQ(std::system(("mkdir -p " + resources).c_str()), 0);
  std::ofstream(bundle + "/Contents/Info.plist")
      << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>"
         "<key>CFBundleIdentifier</key><string>com.Quev.audiounit.Orvanta</string>"
         "</dict></plist>\n";
  std::ofstream(resources + "/orvantaBack.png") << "\x89PNG\r\n\x1a\n but nothing after";
  for (const char* name : {"knob.png", "SliderCap.png", "font-white.png"}) {
    std::ifstream in(std::string(ORVANTA_SOURCE_DIR "/resources/img/") + name, std::ios::binary);
    std::ofstream(resources + "/" + name, std::ios::binary) << in.rdbuf();
  }
  CFURLRef url = CFURLCreateFromFileSystemRepresentation(nullptr, (const UInt8*)bundle.c_str(),
                                                         (CFIndex)bundle.size(), true);
  ASSERT_NE(CFBundleCreate(nullptr, url), nullptr);
  CFRelease(url);

  Orvanta plug(Info());
  auto* graphics = static_cast<OrvantaGraphics*>(plug.GetGUI());
  EXPECT_STREQ(graphics->GetLastImageFailure(), orvanta_editor::kBackgroundFile);
  IRECT all(0, 0, graphics->Width(), graphics->Height());
  graphics->SetAllControlsDirty();
  graphics->Draw(&all);
  // The knob's frame is drawn; where the background would be, nothing was.
  RAS_IBitmap* bits = graphics->GetDrawBitmap();
  auto pixel = [&](int x, int y) { return bits->getBits()[y * bits->getRowSpan() + x]; };
  int knobPixels = 0;
  for (int y = 333; y < 343; ++y)
    for (int x = 113; x < 160; ++x) knobPixels += pixel(x, y) != pixel(2, 2);
  EXPECT_GT(knobPixels, 0);
  std::system((std::string("rm -rf ") + root).c_str());
}
