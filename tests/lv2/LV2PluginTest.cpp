// The audio library driven through its descriptor, as an LV2 host drives it.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "host/RealtimeCounter.h"
#include "lv2/LV2TestHost.h"

namespace {

double Gain(double dB) { return dB > -93.0 ? std::pow(10.0, dB / 20.0) : 0.0; }

struct Stereo {
  std::vector<float> l, r;
  explicit Stereo(size_t n, int seed = 1) : l(n), r(n) {
    for (size_t i = 0; i < n; ++i) {
      l[i] = (float)std::sin(0.013 * (double)(i + seed));
      r[i] = (float)(0.7 * std::cos(0.029 * (double)i + seed));
    }
  }
};

// The mid/side arithmetic for one frame with the controls in dB.
void Expected(float l, float r, const float* dB, float* outL, float* outR) {
  const double mid = ((double)l + r) * 0.5 * Gain(dB[1]);
  const double side = ((double)l - r) * 0.5 * Gain(dB[2]);
  *outL = (float)((mid + side) * Gain(dB[0]));
  *outR = (float)((mid - side) * Gain(dB[0]));
}

void ExpectProcessed(const Stereo& in, const std::vector<float>& outL,
                     const std::vector<float>& outR, const float* dB) {
  for (size_t i = 0; i < in.l.size(); ++i) {
    float l, r;
    Expected(in.l[i], in.r[i], dB, &l, &r);
    ASSERT_NEAR(outL[i], l, 1e-6f) << "frame " << i;
    ASSERT_NEAR(outR[i], r, 1e-6f) << "frame " << i;
  }
}

// An input signal and output arrays of one length, for a host's audio ports.
struct Block {
  Stereo in;
  std::vector<float> outL, outR;
  explicit Block(size_t n, float fill = 0.0f) : in(n), outL(n, fill), outR(n, fill) {}
  void ConnectTo(LV2TestHost& h) {
    h.ConnectAudio(in.l.data(), in.r.data(), outL.data(), outR.data());
  }
  void ExpectProcessedWith(const float* dB) const { ExpectProcessed(in, outL, outR, dB); }
};

class LV2PluginTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(host.Loaded()) << LV2BundlePath();
    ASSERT_NE(host.Instantiate(), nullptr);
  }
  LV2TestHost host;
};

TEST_F(LV2PluginTest, DescriptorAndInstantiation) {
  EXPECT_STREQ(host.Descriptor()->URI, "urn:quev:orvanta");
  LV2TestHost other;
  ASSERT_TRUE(other.Loaded());
  EXPECT_EQ(other.Instantiate(0.0), nullptr);  // no sample rate, no instance
  EXPECT_NE(other.Instantiate(44100.0, false), nullptr);

  // The audio library carries no editor: no windowing, font or image library loads with it.
#if defined(__SANITIZE_ADDRESS__)
  // The sanitizer runtime is linked without --as-needed, which keeps every library named after
  // it on the link line; only a plain build shows what the code itself needs.
  GTEST_SKIP() << "a sanitizer build names every linked library";
#endif
  std::string needed;
  if (FILE* readelf = popen(("readelf -d '" + LV2BundlePath() + "/orvanta.so'").c_str(), "r")) {
    char line[512];
    while (std::fgets(line, sizeof line, readelf)) needed += line;
    pclose(readelf);
  }
  EXPECT_NE(needed.find("[libc.so"), std::string::npos) << needed;
  for (const char* lib : {"libX", "libfontconfig", "libfreetype", "libpng", "libplist", "apple"})
    EXPECT_EQ(needed.find(lib), std::string::npos) << lib << " in\n" << needed;
}

TEST_F(LV2PluginTest, ProcessesWithControlValuesAcrossSlicesAndInPlace) {
  const float dB[3] = {-3.5f, 2.25f, -7.75f};
  std::memcpy(host.mControls, dB, sizeof dB);
  // Longer than the wrapper's slice, with an odd remainder.
  Block b(3 * 4096 + 77, 9.0f);
  b.ConnectTo(host);
  host.Run((uint32_t)b.in.l.size());
  b.ExpectProcessedWith(dB);

  // In place: the outputs are the input arrays.
  Stereo inPlace(1000, 5);
  const Stereo original = inPlace;
  host.ConnectAudio(inPlace.l.data(), inPlace.r.data(), inPlace.l.data(), inPlace.r.data());
  host.Run(1000);
  ExpectProcessed(original, inPlace.l, inPlace.r, dB);
}

TEST_F(LV2PluginTest, ControlChangesApplyFromTheNextBlockClampedAndIgnoringNaN) {
  Block b(256);
  b.ConnectTo(host);
  host.Run(256);
  const float unity[3] = {0, 0, 0};
  b.ExpectProcessedWith(unity);

  host.mControls[0] = 40.0f;   // beyond the maximum: +6 dB
  host.mControls[1] = -94.0f;  // only the side signal
  host.Run(256);
  const float clamped[3] = {6.0f, -94.0f, 0.0f};
  b.ExpectProcessedWith(clamped);

  host.mControls[2] = NAN;  // a NaN leaves the previous value
  host.Run(256);
  b.ExpectProcessedWith(clamped);
}

TEST_F(LV2PluginTest, UnconnectedAudioIsNotTouchedAndZeroFramesDoNothing) {
  Block b(64, 3.0f);
  host.ConnectAudio(b.in.l.data(), nullptr, b.outL.data(), b.outR.data());
  host.Run(64);
  for (float v : b.outL) ASSERT_EQ(v, 3.0f);
  b.ConnectTo(host);
  host.Run(0);
  for (float v : b.outR) ASSERT_EQ(v, 3.0f);
}

TEST_F(LV2PluginTest, RunAllocatesNothingEvenWhenControlsMove) {
  Block b(8192);
  b.ConnectTo(host);
  host.Run(8192);
  realtime_counter::Scope scope;
  for (int i = 0; i < 20; ++i) {
    host.mControls[i % 3] = -50.0f + (float)i;
    host.mEnabled = i % 6 < 3 ? 1.0f : 0.0f;
    host.Run(i % 2 ? 8192 : 17);
  }
  EXPECT_EQ(scope.Allocations(), 0);
}

// The bypass switch crossfades over 5 ms (240 frames at 48 kHz), in place and across blocks:
// no output step is larger than a step of the processed or the dry signal plus one fade step
// of their difference; once faded out the output is exactly the input.
TEST_F(LV2PluginTest, BypassCrossfadesWithoutClicks) {
  const float dB[3] = {0.0f, -94.0f, 6.0f};  // only the side, louder: far from the dry signal
  std::memcpy(host.mControls, dB, sizeof dB);
  const int n = 3000, block = 100, off = 1000, on = 2000, fade = 240;
  const Stereo dry(n);
  Stereo io = dry;
  for (int start = 0; start < n; start += block) {
    host.mEnabled = start >= off && start < on ? 0.0f : 1.0f;
    host.ConnectAudio(&io.l[start], &io.r[start], &io.l[start], &io.r[start]);
    host.Run(block);
  }
  const std::vector<float>* outs[] = {&io.l, &io.r};
  const std::vector<float>* drys[] = {&dry.l, &dry.r};
  for (int c = 0; c < 2; ++c) {
    SCOPED_TRACE(c);
    const std::vector<float>& out = *outs[c];
    const std::vector<float>& in = *drys[c];
    std::vector<float> wet(n);
    for (int i = 0; i < n; ++i) {
      float w[2];
      Expected(dry.l[i], dry.r[i], dB, &w[0], &w[1]);
      wet[i] = w[c];
    }
    double signalStep = 0, gap = 0, outStep = 0;
    for (int i = 1; i < n; ++i) {
      signalStep = std::max({signalStep, (double)std::fabs(wet[i] - wet[i - 1]),
                             (double)std::fabs(in[i] - in[i - 1])});
      gap = std::max(gap, (double)std::fabs(wet[i] - in[i]));
      outStep = std::max(outStep, (double)std::fabs(out[i] - out[i - 1]));
    }
    ASSERT_GT(gap, 20 * signalStep);  // a hard switch would click
    EXPECT_LE(outStep, signalStep + gap / fade + 1e-6);
    for (int i = 0; i < n; ++i) {
      if (i < off || i >= on + fade) {
        ASSERT_NEAR(out[i], wet[i], 1e-6) << i;
      }
      if (i >= off + fade - 1 && i < on) {
        ASSERT_EQ(out[i], in[i]) << i;
      }
    }
    EXPECT_NE(out[off + fade - 2], in[off + fade - 2]);
  }
}

// ---- State ----

double ValueAt(const std::vector<unsigned char>& bytes, int i) {
  double v;
  std::memcpy(&v, bytes.data() + 8 * i, 8);
  return v;
}

TEST_F(LV2PluginTest, StateIsTheParameterChunkAndRestoresIntoAnotherInstance) {
  host.mControls[0] = 0.0f;
  host.mControls[1] = -94.0f;
  host.mControls[2] = 3.0f;
  Block b(32);
  b.ConnectTo(host);
  host.Run(32);

  std::vector<LV2TestHost::Property> saved;
  ASSERT_EQ(host.Save(&saved), LV2_STATE_SUCCESS);
  ASSERT_EQ(saved.size(), 1u);
  EXPECT_EQ(saved[0].key, host.Map("urn:quev:orvanta#state"));
  EXPECT_EQ(saved[0].type, host.Map("http://lv2plug.in/ns/ext/atom#Chunk"));
  EXPECT_EQ(saved[0].flags, (uint32_t)(LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE));
  const std::vector<unsigned char> expected = {0, 0,    0,    0,    0, 0, 0, 0, 0, 0, 0,    0,
                                               0, 0x80, 0x57, 0xC0, 0, 0, 0, 0, 0, 0, 0x08, 0x40};
  EXPECT_EQ(saved[0].value, expected);

  // A fresh instance whose ports sit at the defaults takes the restored values and keeps
  // them until a port moves.
  LV2TestHost other;
  ASSERT_NE(other.Instantiate(), nullptr);
  b.ConnectTo(other);
  other.Run(32);
  ASSERT_EQ(other.Restore(saved), LV2_STATE_SUCCESS);
  other.Run(32);
  const float restored[3] = {0.0f, -94.0f, 3.0f};
  b.ExpectProcessedWith(restored);
  other.mControls[0] = -6.0f;
  other.Run(32);
  const float moved[3] = {-6.0f, -94.0f, 3.0f};
  b.ExpectProcessedWith(moved);

  // A port moved between a restore and the next run applies, in that run and after; the
  // others keep the restored values.
  ASSERT_EQ(other.Restore(saved), LV2_STATE_SUCCESS);
  other.mControls[2] = 1.5f;
  for (int run = 0; run < 2; ++run) {
    other.Run(32);
    const float movedAfterRestore[3] = {0.0f, -94.0f, 1.5f};
    b.ExpectProcessedWith(movedAfterRestore);
  }

  // A version with fewer parameters wrote fewer values, a newer one more: what is there is
  // restored, the rest goes to its default (0 dB).
  for (size_t size : {16u, 40u}) {
    std::vector<LV2TestHost::Property> otherVersion = saved;
    otherVersion[0].value.resize(size, 0);
    ASSERT_EQ(other.Restore(otherVersion), LV2_STATE_SUCCESS) << size;
    other.Run(32);
    const float expected[3] = {0.0f, -94.0f, size < 24 ? 0.0f : 3.0f};
    b.ExpectProcessedWith(expected);
  }
}

TEST_F(LV2PluginTest, DamagedOrForeignStateIsRefusedAndChangesNothing) {
  host.mControls[1] = -12.0f;
  Block b(32);
  b.ConnectTo(host);
  host.Run(32);
  std::vector<LV2TestHost::Property> saved;
  ASSERT_EQ(host.Save(&saved), LV2_STATE_SUCCESS);
  ASSERT_DOUBLE_EQ(ValueAt(saved[0].value, 1), -12.0);

  // Damaged: no whole number of values, or a value that is not a number.
  std::vector<LV2TestHost::Property> damaged = saved;
  damaged[0].value.resize(20);
  EXPECT_NE(host.Restore(damaged), LV2_STATE_SUCCESS);
  damaged[0].value.resize(24);
  std::fill(damaged[0].value.begin() + 16, damaged[0].value.end(), 0xff);
  EXPECT_NE(host.Restore(damaged), LV2_STATE_SUCCESS);
  std::vector<LV2TestHost::Property> wrongType = saved;
  wrongType[0].type = host.Map("http://lv2plug.in/ns/ext/atom#String");
  EXPECT_EQ(host.Restore(wrongType), LV2_STATE_ERR_BAD_TYPE);
  EXPECT_EQ(host.Restore({}), LV2_STATE_ERR_NO_PROPERTY);

  std::vector<LV2TestHost::Property> after;
  ASSERT_EQ(host.Save(&after), LV2_STATE_SUCCESS);
  EXPECT_EQ(after[0].value, saved[0].value);
  host.Run(32);
  const float unchanged[3] = {0.0f, -12.0f, 0.0f};
  b.ExpectProcessedWith(unchanged);

  // Without a URI map there is no state to exchange, and the host is told so.
  LV2TestHost noMap;
  ASSERT_NE(noMap.Instantiate(48000.0, false), nullptr);
  std::vector<LV2TestHost::Property> none;
  EXPECT_EQ(noMap.Save(&none), LV2_STATE_ERR_NO_FEATURE);
  EXPECT_TRUE(none.empty());
}

}  // namespace
