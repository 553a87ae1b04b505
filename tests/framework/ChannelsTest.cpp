#include <gtest/gtest.h>

#include <atomic>
#include <limits>
#include <thread>
#include <vector>

#include "framework/BaseTestPlug.h"
#include "host/RealtimeCounter.h"

namespace {
// Doubles every sample, so processed frames are told apart from passed-through ones.
class DoublingPlug : public BaseTestPlug {
 public:
  using BaseTestPlug::BaseTestPlug;
  void ProcessDoubleReplacing(double** in, double** out, int nFrames) override {
    ++mCalls;
    mLastFrames = nFrames;
    for (int c = 0; c < NOutChannels(); ++c)
      for (int i = 0; i < nFrames; ++i) out[c][i] = 2.0 * (c < NInChannels() ? in[c][i] : 0.0);
  }
  int mCalls = 0;
  int mLastFrames = -1;
};

// Works on 32-bit samples itself: triples them.
class SingleTriplingPlug : public DoublingPlug {
 public:
  explicit SingleTriplingPlug(const char* io) : DoublingPlug(0, io) {
    SetDoesSingleReplacing(true);
  }
  void ProcessSingleReplacing(float** in, float** out, int nFrames) override {
    mLastFrames = nFrames;
    for (int c = 0; c < NOutChannels(); ++c)
      for (int i = 0; i < nFrames; ++i) out[c][i] = 3.0f * in[c][i];
  }
  using IPluginBase::FloatInData;
};
}  // namespace

TEST(Channels, ConfigurationParsingAndLegalIO) {
  BaseTestPlug stereo(0, "2-2");
  EXPECT_EQ(stereo.NChannelIO(), 1);
  EXPECT_EQ(stereo.NInChannels(), 2);
  EXPECT_EQ(stereo.NOutChannels(), 2);
  EXPECT_TRUE(stereo.LegalIO(2, 2));
  EXPECT_TRUE(stereo.LegalIO(-1, 2));
  EXPECT_TRUE(stereo.LegalIO(2, -1));
  EXPECT_TRUE(stereo.LegalIO(-1, -1));
  EXPECT_FALSE(stereo.LegalIO(1, 1));
  EXPECT_FALSE(stereo.LegalIO(1, 2));
  EXPECT_FALSE(stereo.LegalIO(2, 1));
  EXPECT_FALSE(stereo.LegalIO(0, 0));

  BaseTestPlug two(0, "1-1 2-2");
  EXPECT_EQ(two.NChannelIO(), 2);
  EXPECT_EQ(two.NInChannels(), 2);
  EXPECT_EQ(two.NOutChannels(), 2);
  EXPECT_TRUE(two.LegalIO(1, 1));
  EXPECT_TRUE(two.LegalIO(2, 2));
  EXPECT_FALSE(two.LegalIO(1, 2));

  BaseTestPlug odd(0, "x-3 4-1");
  int in = -9, out = -9;
  ASSERT_TRUE(odd.GetChannelIO(0, &in, &out));
  EXPECT_EQ(in, 0);  // unreadable counts read as 0
  EXPECT_EQ(out, 0);
  ASSERT_TRUE(odd.GetChannelIO(1, &in, &out));
  EXPECT_EQ(in, 4);
  EXPECT_EQ(out, 1);
  EXPECT_FALSE(odd.GetChannelIO(2, &in, &out));
  EXPECT_EQ(odd.NInChannels(), 4);
  EXPECT_EQ(odd.NOutChannels(), 1);

  BaseTestPlug negative(0, "-3--2");
  EXPECT_EQ(negative.NInChannels(), 0);
  EXPECT_EQ(negative.NOutChannels(), 0);
}

TEST(Channels, ConnectionsAreCutToTheChannelList) {
  BaseTestPlug plug(0, "4-4");
  plug.SetInputChannelConnections(-2, 4, true);  // channels 0 and 1
  plug.SetOutputChannelConnections(3, 10, true);
  EXPECT_TRUE(plug.IsInChannelConnected(0));
  EXPECT_TRUE(plug.IsInChannelConnected(1));
  EXPECT_FALSE(plug.IsInChannelConnected(2));
  EXPECT_TRUE(plug.IsOutChannelConnected(3));
  EXPECT_FALSE(plug.IsOutChannelConnected(4));
  EXPECT_FALSE(plug.IsInChannelConnected(-1));
  plug.SetInputChannelConnections(0, -3, false);
  EXPECT_TRUE(plug.IsInChannelConnected(0));
  plug.SetOutputChannelConnections(2, 0x7fffffff, true);  // a count that overflows idx + n
  EXPECT_TRUE(plug.IsOutChannelConnected(2));

  plug.SetInputChannelConnections(0, 4, true);
  plug.LimitToStereoIO();
  EXPECT_TRUE(plug.IsInChannelConnected(1));
  EXPECT_FALSE(plug.IsInChannelConnected(2));
  EXPECT_FALSE(plug.IsInChannelConnected(3));
  EXPECT_TRUE(plug.IsOutChannelConnected(2));
  EXPECT_TRUE(plug.IsOutChannelConnected(3));
}

TEST(Channels, UnconnectedChannelsUseScratchMemory) {
  DoublingPlug plug(0, "2-2");
  plug.SetBlockSize(4);
  plug.SetInputChannelConnections(0, 1, true);
  plug.SetInputChannelConnections(1, 1, false);
  plug.SetOutputChannelConnections(0, 1, true);
  plug.SetOutputChannelConnections(1, 1, false);

  double a[4] = {1, 2, 3, 4}, b[4] = {9, 9, 9, 9};
  double* inputs[] = {a, b};
  plug.AttachInputBuffers(0, 2, inputs, 4);
  EXPECT_EQ(plug.InData()[0], a);
  EXPECT_NE(plug.InData()[1], b);  // only the first array was consumed

  double out0[4] = {}, out1[4] = {7, 7, 7, 7};
  double* outputs[] = {out0, out1};
  plug.AttachOutputBuffers(0, 2, outputs);
  EXPECT_EQ(plug.OutData()[0], out0);

  plug.ProcessBuffers(0.0, 4);
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(out0[i], 2.0 * a[i]);
    EXPECT_EQ(out1[i], 7.0);               // the unconnected output went to scratch
    EXPECT_EQ(plug.InData()[1][i], 0.0);   // silence from the missing input
    EXPECT_EQ(plug.OutData()[1][i], 0.0);  // doubled silence
  }
}

TEST(Channels, SinglePrecisionConversionAndAccumulation) {
  DoublingPlug plug(0, "2-2");
  plug.SetBlockSize(3);
  plug.SetInputChannelConnections(0, 2, true);
  plug.SetOutputChannelConnections(0, 2, true);
  float inL[3] = {0.1f, -0.5f, 1.0f}, inR[3] = {0.25f, 0.0f, -1.0f};
  float outL[3] = {}, outR[3] = {};
  float* ins[] = {inL, inR};
  float* outs[] = {outL, outR};
  plug.AttachInputBuffers(0, 2, ins, 3);
  plug.AttachOutputBuffers(0, 2, outs);
  plug.ProcessBuffers(0.0f, 3);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(outL[i], (float)(2.0 * (double)inL[i]));
    EXPECT_EQ(outR[i], (float)(2.0 * (double)inR[i]));
  }

  float accL[3] = {1.0f, 1.0f, 1.0f}, accR[3] = {};
  float* acc[] = {accL, accR};
  plug.AttachOutputBuffers(0, 2, acc);
  plug.ProcessBuffersAccumulating(0.0f, 3);
  plug.ProcessBuffersAccumulating(0.0f, 3);
  for (int i = 0; i < 3; ++i) {
    float once = (float)(2.0 * (double)inL[i]);
    EXPECT_EQ(accL[i], (1.0f + once) + once);
    EXPECT_EQ(accR[i], (float)(2.0 * (double)inR[i]) * 2.0f);
  }

  // A later 64-bit attach must not keep converting into the old 32-bit arrays.
  double d0[3] = {}, d1[3] = {};
  double* douts[] = {d0, d1};
  plug.AttachOutputBuffers(0, 2, douts);
  float before = accL[0];
  plug.ProcessBuffers(0.0f, 3);
  EXPECT_EQ(accL[0], before);
  EXPECT_EQ(d0[0], 2.0 * (double)inL[0]);
}

TEST(Channels, SingleReplacingWorksInTheHostsArrays) {
  SingleTriplingPlug plug("2-2");
  plug.SetBlockSize(4);
  plug.SetInputChannelConnections(0, 1, true);  // input 1 is missing
  plug.SetOutputChannelConnections(0, 2, true);
  float io[6] = {1, 2, 3, 4, 5, 6}, out1[6] = {9, 9, 9, 9, 9, 9};
  float* ins[] = {io};
  float* outs[] = {io, out1};
  plug.AttachInputBuffers(0, 2, ins, 6);
  plug.AttachOutputBuffers(0, 2, outs);
  EXPECT_EQ(plug.FloatInData()[0], io);  // no copy
  plug.ProcessBuffers(0.0f, 6);
  EXPECT_EQ(plug.mCalls, 0);
  EXPECT_EQ(plug.mLastFrames, 4);  // the missing input's silence is one block long
  const float tripled[6] = {3, 6, 9, 12, 5, 6};
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(io[i], tripled[i]);  // in place
    EXPECT_EQ(out1[i], i < 4 ? 0.0f : 9.0f);
  }

  float acc0[4] = {1, 1, 1, 1}, acc1[4] = {};
  float* acc[] = {acc0, acc1};
  plug.AttachOutputBuffers(0, 2, acc);
  plug.ProcessBuffersAccumulating(0.0f, 4);
  plug.ProcessBuffersAccumulating(0.0f, 4);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(acc0[i], 1.0f + 2.0f * 3.0f * io[i]) << i;

  plug.PassThroughBuffers(0.0f, 4);
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(acc0[i], io[i]);
    EXPECT_EQ(acc1[i], 0.0f);
  }
}

TEST(Channels, PassThroughCopiesAndZeroFills) {
  DoublingPlug plug(0, "1-2");
  plug.SetBlockSize(4);
  plug.SetInputChannelConnections(0, 1, true);
  plug.SetOutputChannelConnections(0, 2, true);
  double in[4] = {1, 2, 3, 4};
  double o0[4] = {}, o1[4] = {5, 5, 5, 5};
  double* ins[] = {in};
  double* outs[] = {o0, o1};
  plug.AttachInputBuffers(0, 1, ins, 4);
  plug.AttachOutputBuffers(0, 2, outs);
  plug.PassThroughBuffers(0.0, 4);
  EXPECT_EQ(plug.mCalls, 0);
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(o0[i], in[i]);
    EXPECT_EQ(o1[i], 0.0);
  }

  float fin[4] = {0.5f, 1, 2, 3}, f0[4] = {}, f1[4] = {9, 9, 9, 9};
  float* fins[] = {fin};
  float* fouts[] = {f0, f1};
  plug.AttachInputBuffers(0, 1, fins, 4);
  plug.AttachOutputBuffers(0, 2, fouts);
  plug.PassThroughBuffers(0.0f, 4);
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(f0[i], fin[i]);
    EXPECT_EQ(f1[i], 0.0f);
  }
}

TEST(Channels, BlockSizeKeepsOrClearsScratchAndSlotsFollowIt) {
  BaseTestPlug plug(0, "2-2");
  plug.SetBlockSize(4);
  plug.SetInputChannelConnections(0, 2, true);
  float in[4] = {1, 2, 3, 4};
  float* ins[] = {in, in};
  plug.AttachInputBuffers(0, 2, ins, 4);
  double* scratch = plug.InData()[0];
  plug.SetBlockSize(4);  // unchanged: contents stay
  EXPECT_EQ(plug.InData()[0], scratch);
  EXPECT_EQ(scratch[3], 4.0);

  // Growing far past the granularity moves the buffer; the slot must move with it.
  plug.SetInputChannelConnections(1, 1, false);
  plug.SetBlockSize(100000);
  double* moved = plug.InData()[1];
  ASSERT_NE(moved, nullptr);
  for (int i = 0; i < 100000; i += 9999) EXPECT_EQ(moved[i], 0.0);
  moved[99999] = 1.0;  // writable to the end (the sanitizer build checks the bound)

  plug.InData()[0][0] = 5.0;
  plug.ZeroScratchBuffers();
  EXPECT_EQ(plug.InData()[0][0], 0.0);
  EXPECT_EQ(plug.GetBlockSize(), 100000);
  plug.SetBlockSize(-1);
  EXPECT_EQ(plug.GetBlockSize(), 100000);
}

TEST(Channels, NoBlockIsProcessedBeyondTheScratchMemory) {
  DoublingPlug plug(0, "2-2");
  // No block size yet: unconnected channels have no memory, so nothing may run.
  plug.ProcessBuffers(0.0, 16);
  plug.PassThroughBuffers(0.0, 16);
  EXPECT_EQ(plug.mCalls, 0);

  plug.SetBlockSize(8);
  plug.SetInputChannelConnections(0, 2, true);
  plug.SetOutputChannelConnections(0, 2, true);
  std::vector<float> in(32, 1.0f), out0(32, -1.0f), out1(32, -1.0f);
  float* ins[] = {in.data(), in.data()};
  float* outs[] = {out0.data(), out1.data()};
  plug.AttachInputBuffers(0, 2, ins, 32);
  plug.AttachOutputBuffers(0, 2, outs);
  plug.ProcessBuffers(0.0f, 32);
  EXPECT_EQ(plug.mLastFrames, 8);
  EXPECT_EQ(out0[7], 2.0f);
  EXPECT_EQ(out0[8], -1.0f);

  // Host 64-bit arrays everywhere: the block size does not limit the host's own memory.
  std::vector<double> din(32, 1.0), d0(32), d1(32);
  double* dins[] = {din.data(), din.data()};
  double* douts[] = {d0.data(), d1.data()};
  plug.AttachInputBuffers(0, 2, dins, 32);
  plug.AttachOutputBuffers(0, 2, douts);
  plug.ProcessBuffers(0.0, 32);
  EXPECT_EQ(plug.mLastFrames, 32);
  EXPECT_EQ(d1[31], 2.0);
  plug.ProcessBuffers(0.0, 0);
  plug.ProcessBuffers(0.0, -5);
  EXPECT_EQ(plug.mLastFrames, 32);
}

TEST(Channels, ChannelAndBusLabels) {
  BaseTestPlug plug(0, "2-2");
  plug.SetInputLabel(1, "right");
  plug.SetInputLabel(5, "nowhere");
  plug.SetOutputLabel(-1, "nowhere");
  EXPECT_STREQ(plug.GetInputLabel(1), "right");
  EXPECT_STREQ(plug.GetInputLabel(5), "");

  plug.SetInputBusLabel(2, "x");
  plug.SetInputBusLabel(-1, "x");
  EXPECT_EQ(plug.NInputBusLabels(), 0);
  plug.SetInputBusLabel(1, "side");  // no bus 0 yet: goes to position 0
  EXPECT_STREQ(plug.GetInputBusLabel(0), "side");
  plug.SetInputBusLabel(0, "main");  // replaces position 0
  EXPECT_EQ(plug.NInputBusLabels(), 1);
  EXPECT_STREQ(plug.GetInputBusLabel(0), "main");
  plug.SetInputBusLabel(1, "side");
  EXPECT_STREQ(plug.GetInputBusLabel(1), "side");
  EXPECT_EQ(plug.GetInputBusLabel(2), nullptr);

  plug.SetOutputBusLabel(5, "five");
  EXPECT_EQ(plug.NOutputBusLabels(), 1);
  EXPECT_STREQ(plug.GetOutputBusLabel(0), "five");
  plug.SetOutputBusLabel(-1, "neg");
  plug.SetOutputBusLabel(0, nullptr);
  EXPECT_EQ(plug.NOutputBusLabels(), 1);
  EXPECT_STREQ(plug.GetOutputBusLabel(0), "");
}

TEST(Channels, BlockProcessingAllocatesNothing) {
  DoublingPlug plug(0, "2-2");
  plug.SetBlockSize(512);
  plug.SetInputChannelConnections(0, 2, true);
  plug.SetOutputChannelConnections(0, 2, true);
  std::vector<float> fin(512, 0.5f), fout0(512), fout1(512);
  std::vector<double> din(512, 0.5), dout0(512), dout1(512);
  float* fins[] = {fin.data(), fin.data()};
  float* fouts[] = {fout0.data(), fout1.data()};
  double* dins[] = {din.data(), din.data()};
  double* douts[] = {dout0.data(), dout1.data()};

  realtime_counter::Scope scope;
  plug.AttachInputBuffers(0, 2, fins, 512);
  plug.AttachOutputBuffers(0, 2, fouts);
  plug.ProcessBuffers(0.0f, 512);
  plug.ProcessBuffersAccumulating(0.0f, 512);
  plug.PassThroughBuffers(0.0f, 512);
  plug.AttachInputBuffers(0, 2, dins, 512);
  plug.AttachOutputBuffers(0, 2, douts);
  plug.ProcessBuffers(0.0, 512);
  plug.PassThroughBuffers(0.0, 512);
  EXPECT_EQ(scope.Allocations(), 0);
  EXPECT_EQ(plug.mCalls, 3);
  EXPECT_EQ(dout1[511], 0.5);  // the last call passed through
}

namespace {
// Adds parameter c's value to channel c, so each output frame tells which value held there.
class OffsetPlug : public BaseTestPlug {
 public:
  explicit OffsetPlug(bool single) : BaseTestPlug(3, "2-2") {
    SetDoesSingleReplacing(single);
    for (int i = 0; i < NParams(); ++i) GetParam(i)->InitDouble("p", 0.0, -100.0, 100.0, 0.001);
  }
  template <class T>
  void Add(T** in, T** out, int nFrames) {
    mPieces.push_back(nFrames);
    for (int c = 0; c < 2; ++c)
      for (int i = 0; i < nFrames; ++i) out[c][i] = in[c][i] + (T)GetParam(c)->Value();
  }
  void ProcessDoubleReplacing(double** in, double** out, int n) override { Add(in, out, n); }
  void ProcessSingleReplacing(float** in, float** out, int n) override { Add(in, out, n); }
  void OnPrepare(double rate, int maxFrames) override { mPrepared = {rate, (double)maxFrames}; }
  std::vector<int> mPieces;
  std::pair<double, double> mPrepared;
};

template <class T>
std::vector<T> RenderLeft(IBlockRenderer& r, int n, const std::vector<IParamEvent>& events) {
  std::vector<T> left(n, (T)-999);
  T* outs[] = {left.data(), nullptr};  // no inputs: silence; the right output is dropped
  r.Render(nullptr, outs, n, events.data(), (int)events.size(), false);
  return left;
}
}  // namespace

TEST(Channels, BlockRendererSplitsAtEventsAndPreparedBlocks) {
  struct Row {
    const char* what;
    int frames, maxBlock;
    std::vector<IParamEvent> events;
    std::vector<double> left;  // then param 0 after the block
    std::vector<int> pieces;
    double after;
  };
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const Row rows[] = {
      {"at offsets",
       6,
       64,
       {{0, 0, 1}, {2, 1, 5}, {2, 0, 2}, {5, 0, -1}},
       {1, 1, 2, 2, 2, -1},
       {2, 3, 1},
       -1},
      {"longer than the block", 7, 3, {{5, 0, 3}}, {0, 0, 0, 0, 0, 3, 3}, {3, 2, 2}, 3},
      {"past the end, out of order",
       3,
       64,
       {{2, 0, 4}, {1, 0, 6}, {9, 0, 7}},
       {0, 0, 6},
       {2, 1},
       7},
      {"zero frames", 0, 64, {{5, 0, 4}}, {}, {}, 4},
      {"unknown index, NaN", 2, 64, {{0, 9, 1}, {0, -1, 1}, {1, 0, nan}}, {0, 0}, {1, 1}, 0},
  };
  for (const Row& row : rows) {
    for (int mode = 0; mode < 3; ++mode) {  // 32 bits in place, 32 bits widened, 64 bits
      SCOPED_TRACE(testing::Message() << row.what << " mode " << mode);
      OffsetPlug plug(mode == 0);
      IBlockRenderer r(&plug);
      ASSERT_TRUE(r.Prepare(44100.0, row.maxBlock));
      EXPECT_EQ(plug.mPrepared, std::make_pair(44100.0, (double)row.maxBlock));
      EXPECT_EQ(plug.GetBlockSize(), row.maxBlock);
      std::vector<double> left;
      if (mode < 2) {
        for (float v : RenderLeft<float>(r, row.frames, row.events)) left.push_back(v);
      } else {
        left = RenderLeft<double>(r, row.frames, row.events);
      }
      EXPECT_EQ(left, row.left);
      EXPECT_EQ(plug.mPieces, row.pieces);
      EXPECT_EQ(plug.GetParam(0)->Value(), row.after);
      EXPECT_EQ(r.SamplePos(), row.frames);
    }
  }
  // Prepared for 32-bit blocks only: a 64-bit block is silent, and its events still apply.
  OffsetPlug plug(true);
  IBlockRenderer r(&plug, IBlockRenderer::ESamples::kFloat);
  ASSERT_TRUE(r.Prepare(44100.0, 64));
  EXPECT_EQ(RenderLeft<double>(r, 3, {{1, 0, 4}}), std::vector<double>(3, 0.0));
  EXPECT_TRUE(plug.mPieces.empty());
  EXPECT_EQ(RenderLeft<float>(r, 2, {}), std::vector<float>(2, 4.0f));
}

TEST(Channels, BlockRendererNeverWaitsForTheLockAndRunsHooksOnceItIsFree) {
  OffsetPlug plug(true);
  auto* editor = new TestGraphics(&plug);
  auto* probe = new ProbeControl(&plug, 0);
  editor->AttachControl(probe);
  plug.AttachGraphics(editor);
  IBlockRenderer r(&plug);
  ASSERT_TRUE(r.Prepare(48000.0, 64));
  std::atomic<int> step = 0;
  std::thread holder([&] {
    UTL_MutexLock lock(plug.GetMutex());
    step = 1;
    while (step != 2) std::this_thread::yield();
  });
  while (step != 1) std::this_thread::yield();
  EXPECT_EQ(RenderLeft<float>(r, 2, {{1, 0, 8}}), (std::vector<float>{0, 8}));
  EXPECT_TRUE(plug.mHookCalls.empty());
  step = 2;
  holder.join();
  RenderLeft<float>(r, 1, {});
  EXPECT_EQ(plug.mHookCalls, std::vector<int>{0});
  // The editor's controls move on its own thread, at its next drawing pass.
  EXPECT_EQ(probe->mPushed.size(), 1u);
  editor->IsDirty(nullptr);
  EXPECT_EQ(probe->mPushed, (std::vector<double>{0.5, 0.54}));
}
