#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "framework/BaseTestPlug.h"

TEST(Version, PackingDecimalAndText) {
  int major, minor, revision;
  GetVersionParts(0x20001, &major, &minor, &revision);
  EXPECT_EQ(major, 2);
  EXPECT_EQ(minor, 0);
  EXPECT_EQ(revision, 1);
  EXPECT_EQ(GetDecimalVersion(0x20001), 20001);
  EXPECT_EQ(GetDecimalVersion(0x1FFFF), 35755);
  char text[kVersionStrSize];
  GetVersionStr(0x20001, text);
  EXPECT_STREQ(text, "v2.0.1");
  GetVersionStr((int)0xFFFFFFFF, text);  // the widest text still fits
  EXPECT_STREQ(text, "v65535.255.255");

  BaseTestPlug plug;
  EXPECT_EQ(plug.GetEffectVersion(false), 131073);
  EXPECT_EQ(plug.GetEffectVersion(true), 20001);
  plug.GetEffectVersionStr(text);
  EXPECT_STREQ(text, "v2.0.1");
}

TEST(IPluginBase, ConstructionState) {
  BaseTestPlug plug(3, "2-2", 4);
  EXPECT_EQ(plug.NParams(), 3);
  EXPECT_EQ(plug.GetParam(3), nullptr);
  EXPECT_EQ(plug.GetParam(-1), nullptr);
  ASSERT_EQ(plug.NPresets(), 4);
  EXPECT_STREQ(plug.GetPresetName(3), "empty");
  EXPECT_FALSE(plug.GetPreset(3)->mInitialized);
  EXPECT_EQ(plug.GetHost(), kHostUninit);

  // Fields left out take their defaults (one preset).
  BaseTestPlug named({.nParams = 2,
                      .channelIO = "1-1 2-2",
                      .effectName = "Named",
                      .vendorVersion = 0x10203,
                      .uniqueID = FourCC("Nmed"),
                      .latency = 64,
                      .doesChunks = true});
  EXPECT_EQ(named.NParams(), 2);
  EXPECT_EQ(named.NPresets(), 1);
  EXPECT_EQ(named.NChannelIO(), 2);
  EXPECT_STREQ(named.GetEffectName(), "Named");
  EXPECT_EQ(named.GetEffectVersion(true), 10203);
  EXPECT_EQ(named.GetUniqueID(), FourCC("Nmed"));
  EXPECT_EQ(named.GetLatency(), 64);
  EXPECT_TRUE(named.DoesStateChunks());

  BaseTestPlug none(-2, nullptr, -1);
  EXPECT_EQ(none.NParams(), 0);
  EXPECT_EQ(none.NPresets(), 0);
  EXPECT_EQ(none.NInChannels(), 0);
  EXPECT_FALSE(none.LegalIO(-1, -1));
}

TEST(IPluginBase, LongNamesAreCut) {
  std::string longName(300, 'x');
  // The base is abstract; check through a complete wrapper built with the long names.
  struct LongPlug : IPluginBase {
    explicit LongPlug(const char* name)
        : IPluginBase(0, "1-1", 0, name, name, name, 1, 1, 1, 0, false, false, false, kAPIAU) {}
    void BeginInformHostOfParamChange(int) override {}
    void InformHostOfParamChange(int, double) override {}
    void EndInformHostOfParamChange(int) override {}
    void InformHostOfProgramChange() override {}
    int GetSamplePos() override { return 0; }
    double GetTempo() override { return 0; }
    void GetTimeSig(int*, int*) override {}
    void GetTime(ITimeInfo*) override {}
    void ResizeGraphics(int, int) override {}
    bool SendMidiMsg(IMidiMsg*) override { return false; }
  } plug(longName.c_str());
  EXPECT_EQ(std::strlen(plug.GetEffectName()), 127u);
  EXPECT_EQ(std::strlen(plug.GetProductName()), 127u);
  EXPECT_EQ(std::strlen(plug.GetMfrName()), 127u);
  EXPECT_EQ(plug.GetSamplesPerBeat(), 0.0);  // tempo 0
}

TEST(IPluginBase, ApiStringsAndSamplesPerBeat) {
  struct ApiPlug : BaseTestPlug {
    void SetAPI(int api) { mAPI = (EAPI)api; }
  } plug;
  EXPECT_STREQ(plug.GetAPIString(), "AU");
  plug.SetAPI(kAPISA);
  EXPECT_STREQ(plug.GetAPIString(), "Standalone");
  plug.SetAPI(6);
  EXPECT_STREQ(plug.GetAPIString(), "");
  plug.SetAPI(-1);
  EXPECT_STREQ(plug.GetAPIString(), "");

  EXPECT_DOUBLE_EQ(plug.GetSamplesPerBeat(), 22050.0);
  plug.mTempo = 0.0;
  EXPECT_EQ(plug.GetSamplesPerBeat(), 0.0);
}

TEST(IPluginBase, HostIsInformedBeforeTheHookUnderTheLock) {
  BaseTestPlug plug;
  plug.InitDecibelParams();
  plug.SetParameterFromGUI(1, 0.5);
  ASSERT_EQ(plug.mHostEvents.size(), 1u);
  EXPECT_EQ(plug.mHostEvents[0].mParamIdx, 1);
  EXPECT_EQ(plug.mHostEvents[0].mNormalized, 0.5);  // as received, not re-derived
  EXPECT_EQ(plug.mHostEvents[0].mHookCallsSoFar, 0);
  EXPECT_TRUE(plug.mHostEvents[0].mLocked);
  ASSERT_EQ(plug.mHookCalls.size(), 1u);
  EXPECT_EQ(plug.mHookCalls[0], 1);
  EXPECT_NEAR(plug.GetParam(1)->Value(), -94.0 + 100.0 * std::pow(0.5, 0.19), 1e-12);

  // An index outside the list changes nothing and reaches neither host nor hook.
  plug.SetParameterFromGUI(7, 0.5);
  plug.SetParameterFromGUI(-1, 0.5);
  EXPECT_EQ(plug.mHostEvents.size(), 1u);
  EXPECT_EQ(plug.mHookCalls.size(), 1u);
}

TEST(IPluginBase, DirtyParametersAndParamReset) {
  BaseTestPlug plug;
  plug.InitDecibelParams();
  plug.GetParam(2)->Set(-94.0);
  plug.DirtyParameters();
  ASSERT_EQ(plug.mHostEvents.size(), 3u);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(plug.mHostEvents[i].mParamIdx, i);
    EXPECT_TRUE(plug.mHostEvents[i].mLocked);
  }
  EXPECT_EQ(plug.mHostEvents[2].mNormalized, 0.0);
  EXPECT_NEAR(plug.mHostEvents[0].mNormalized, std::pow(0.94, 1.0 / 0.09), 1e-12);

  plug.OnParamReset();
  EXPECT_EQ(plug.mHookCalls, (std::vector<int>{0, 1, 2}));
}

TEST(IPluginBase, CompareStateAtSinglePrecision) {
  BaseTestPlug plug;
  plug.InitDecibelParams();
  plug.GetParam(0)->Set(-3.0);
  plug.GetParam(1)->Set(1.0 / 3.0);
  plug.GetParam(2)->Set(5.0);
  double stored[5] = {99.0, -3.0, 1.0 / 3.0 + 1e-12, 5.0, 99.0};
  auto bytes = reinterpret_cast<const unsigned char*>(stored);
  EXPECT_TRUE(plug.CompareState(bytes, 1));  // startPos counts doubles
  EXPECT_FALSE(plug.CompareState(bytes, 0));
  stored[3] = 5.001;
  EXPECT_FALSE(plug.CompareState(bytes, 1));

  BaseTestPlug empty(0);
  EXPECT_TRUE(empty.CompareState(bytes, 0));
}

TEST(IPluginBase, HostIdentificationAndVersion) {
  BaseTestPlug plug;
  EXPECT_TRUE(plug.SetHost("Cubase 8", 0x080005));
  EXPECT_EQ(plug.GetHost(), kHostCubase);
  EXPECT_EQ(plug.GetHostVersion(true), 80005);
  EXPECT_EQ(plug.GetHostVersion(false), 0x080005);
  char text[kVersionStrSize];
  plug.GetHostVersionStr(text);
  EXPECT_STREQ(text, "v8.0.5");
  EXPECT_FALSE(plug.SetHost("Some DAW", 1));
  EXPECT_EQ(plug.GetHost(), kHostUnknown);
  EXPECT_FALSE(plug.SetHost(nullptr, 0));
}

TEST(IPluginBase, MidiThroughAndSendingLists) {
  BaseTestPlug plug;
  IMidiMsg msg;
  msg.MakeNoteOnMsg(60, 100, 3);
  plug.ProcessMidiMsg(&msg);
  ASSERT_EQ(plug.mSentMidi.size(), 1u);
  EXPECT_EQ(plug.mSentMidi[0].mFirstData, 60);

  UTL_TypedBuf<IMidiMsg> list;
  EXPECT_TRUE(plug.SendMidiMsgs(&list));
  list.Add(msg);
  list.Add(IMidiMsg());  // the test host refuses an empty status
  list.Add(msg);
  EXPECT_FALSE(plug.SendMidiMsgs(&list));
  EXPECT_EQ(plug.mSentMidi.size(), 4u);  // every message is still sent

  char name[8] = "x";
  EXPECT_FALSE(plug.MidiNoteName(60, name));
  EXPECT_STREQ(name, "");
}

TEST(IPluginBase, AttachGraphicsPushesNormalisedValuesAndOwnsTheEngine) {
  TestGraphics::sDestroyed = 0;
  {
    BaseTestPlug plug;
    plug.InitDecibelParams();
    plug.GetParam(1)->Set(-94.0);
    plug.AttachGraphics(nullptr);
    EXPECT_EQ(plug.GetGUI(), nullptr);

    TestGraphics* gui = new TestGraphics(&plug);
    ProbeControl* probe = new ProbeControl(&plug, 1);
    gui->AttachControl(probe);
    plug.AttachGraphics(gui);
    EXPECT_EQ(plug.GetGUI(), gui);
    ASSERT_EQ(probe->mPushed.size(), 1u);
    EXPECT_EQ(probe->mPushed[0], 0.0);

    // Redraw hands over real values; the engine normalises them.
    plug.GetParam(1)->Set(6.0);
    plug.RedrawParamControls();
    ASSERT_EQ(probe->mPushed.size(), 2u);
    EXPECT_EQ(probe->mPushed[1], 1.0);

    // Restoring a preset redraws the controls too.
    plug.MakePreset("p", 0.0, -94.0, 0.0);
    ASSERT_TRUE(plug.RestorePreset(0));
    ASSERT_EQ(probe->mPushed.size(), 3u);
    EXPECT_EQ(probe->mPushed[2], 0.0);
    EXPECT_EQ(TestGraphics::sDestroyed, 0);
  }
  EXPECT_EQ(TestGraphics::sDestroyed, 1);
}

TEST(IPluginBase, MakeEditorOnceBuildsTheEditorOnTheFirstRequest) {
  struct LazyPlug : BaseTestPlug {
    void OnMakeEditor() override {
      ++mMade;
      if (mHasEditor) AttachGraphics(new TestGraphics(this));
    }
    bool mHasEditor = true;
    int mMade = 0;
  };
  LazyPlug plug;
  EXPECT_EQ(plug.GetGUI(), nullptr);
  IGraphics* gui = plug.MakeEditorOnce();
  ASSERT_NE(gui, nullptr);
  EXPECT_EQ(plug.MakeEditorOnce(), gui);
  EXPECT_EQ(plug.mMade, 1);
  // Displays kept by the change hooks start from the present values.
  EXPECT_EQ(plug.mHookCalls, (std::vector<int>{0, 1, 2}));

  LazyPlug none;
  none.mHasEditor = false;
  EXPECT_EQ(none.MakeEditorOnce(), nullptr);
  EXPECT_EQ(none.MakeEditorOnce(), nullptr);
  EXPECT_EQ(none.mMade, 1);
  EXPECT_TRUE(none.mHookCalls.empty());

  // An editor the constructor attached is the one kept.
  LazyPlug eager;
  TestGraphics* own = new TestGraphics(&eager);
  eager.AttachGraphics(own);
  EXPECT_EQ(eager.MakeEditorOnce(), own);
  EXPECT_EQ(eager.mMade, 0);
}
