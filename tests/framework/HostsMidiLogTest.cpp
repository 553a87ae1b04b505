#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "framework/Framework.h"

TEST(Hosts, LookUpOrderAndNames) {
  EXPECT_EQ(LookUpHost("Cubase 8"), kHostCubase);
  EXPECT_EQ(LookUpHost("com.apple.logic10"), kHostLogic);
  EXPECT_EQ(LookUpHost("REAPER64"), kHostReaper);
  EXPECT_EQ(LookUpHost("Ableton Live 9"), kHostAbletonLive);
  EXPECT_EQ(LookUpHost(""), kHostUnknown);
  EXPECT_EQ(LookUpHost(nullptr), kHostUnknown);
  EXPECT_EQ(LookUpHost("MOTU Digital Performer"), kHostDigitalPerformer);
  // Order decides: "cubase" is tested before "live", "digital" after "logic".
  EXPECT_EQ(LookUpHost("cubase live"), kHostCubase);
  EXPECT_EQ(LookUpHost("digital logic"), kHostLogic);
  EXPECT_EQ(LookUpHost("Pro Tools"), kHostUnknown);
  EXPECT_EQ(LookUpHost("com.avid.ProTools"), kHostProTools);
  EXPECT_EQ(LookUpHost("Melodyne"), kHostMelodyneStudio);

  // Long names are cut, not refused: a match inside the first 263 characters counts.
  std::string early = "reaper" + std::string(400, 'x');
  EXPECT_EQ(LookUpHost(early.c_str()), kHostReaper);
  std::string late = std::string(263, 'x') + "reaper";
  EXPECT_EQ(LookUpHost(late.c_str()), kHostUnknown);

  char name[kHostNameStrSize];
  GetHostNameStr(kHostSonar, name);
  EXPECT_STREQ(name, "Sonar");
  GetHostNameStr(kHostMelodyneStudio, name);
  EXPECT_STREQ(name, "Unknown");
  GetHostNameStr(kHostVST3TestHost, name);
  EXPECT_STREQ(name, "VST3PluginTestHost");
  GetHostNameStr((EHost)29, name);
  EXPECT_STREQ(name, "Unknown");
  GetHostNameStr(kHostUninit, name);
  EXPECT_STREQ(name, "Unknown");
}

TEST(MidiMsg, ConstructorsAndAccessors) {
  IMidiMsg msg;
  msg.MakeNoteOnMsg(60, 100, 12, 3);
  EXPECT_EQ(msg.mStatusByte, 0x93);
  EXPECT_EQ(msg.mSampleOffset, 12);
  EXPECT_EQ(msg.StatusMsg(), IMidiMsg::kNoteOn);
  EXPECT_EQ(msg.Channel(), 3);
  EXPECT_EQ(msg.NoteNumber(), 60);
  EXPECT_EQ(msg.Velocity(), 100);
  EXPECT_EQ(msg.Program(), -1);
  EXPECT_EQ(msg.PitchWheel(), 0.0);

  msg.MakeNoteOffMsg(61, 5);
  EXPECT_EQ(msg.mStatusByte, 0x80);
  EXPECT_EQ(msg.Velocity(), 0);
  EXPECT_EQ(msg.NoteNumber(), 61);

  msg.MakePitchWheelMsg(1.0);
  EXPECT_EQ(msg.mFirstData, 127);
  EXPECT_EQ(msg.mSecondData, 127);
  EXPECT_EQ(msg.mSampleOffset, 0);
  EXPECT_DOUBLE_EQ(msg.PitchWheel(), 8191.0 / 8192.0);
  msg.MakePitchWheelMsg(-1.0);
  EXPECT_EQ(msg.mFirstData, 0);
  EXPECT_EQ(msg.mSecondData, 0);
  EXPECT_EQ(msg.PitchWheel(), -1.0);
  msg.MakePitchWheelMsg(0.0, 2);
  EXPECT_EQ(msg.mStatusByte, 0xE2);
  EXPECT_EQ(msg.mFirstData, 0);
  EXPECT_EQ(msg.mSecondData, 64);
  EXPECT_EQ(msg.PitchWheel(), 0.0);
  msg.MakePitchWheelMsg(1e12);  // clamped, not overflowed
  EXPECT_EQ(msg.mSecondData, 127);

  msg.MakeControlChangeMsg(IMidiMsg::kChannelVolume, 0.5);
  EXPECT_EQ(msg.mSecondData, 63);
  EXPECT_EQ(msg.ControlChangeIdx(), IMidiMsg::kChannelVolume);
  EXPECT_DOUBLE_EQ(msg.ControlChange(IMidiMsg::kChannelVolume), 63.0 / 127.0);
  EXPECT_EQ(msg.ControlChange(IMidiMsg::kModWheel), -1.0);
  EXPECT_EQ(msg.NoteNumber(), -1);

  IMidiMsg poly(0, 0xA1, 64, 33), chanAt(0, 0xD0, 77, 0), prog(0, 0xC0, 5, 0), clock(0, 0xF8, 0, 0);
  EXPECT_EQ(poly.PolyAfterTouch(), 33);
  EXPECT_EQ(poly.NoteNumber(), 64);
  EXPECT_EQ(poly.Velocity(), -1);
  EXPECT_EQ(chanAt.ChannelAfterTouch(), 77);
  EXPECT_EQ(chanAt.PolyAfterTouch(), -1);
  EXPECT_EQ(prog.Program(), 5);
  EXPECT_EQ(clock.StatusMsg(), IMidiMsg::kNone);
  EXPECT_EQ(IMidiMsg(0, 0x45, 0, 0).StatusMsg(), IMidiMsg::kNone);

  msg.Clear();
  EXPECT_EQ(msg.mStatusByte, 0);
  EXPECT_EQ(msg.mSampleOffset, 0);

  EXPECT_STREQ(StatusMsgStr((IMidiMsg::EStatusMsg)3), "unknown");
  EXPECT_STREQ(StatusMsgStr((IMidiMsg::EStatusMsg)15), "unknown");
}

TEST(SysEx, HexTextIsCutToTheBuffer) {
  const unsigned char data[] = {0xF0, 0x7E, 0xF7};
  char small[7];
  memset(small, '#', sizeof(small));
  EXPECT_EQ(SysExStr(small, 7, data, 3), small);
  EXPECT_STREQ(small, "F0 7E");
  char big[32];
  EXPECT_STREQ(SysExStr(big, 32, data, 3), "F0 7E F7");
  EXPECT_STREQ(SysExStr(big, 32, nullptr, 3), "");
  EXPECT_STREQ(SysExStr(big, 32, data, 0), "");
  EXPECT_STREQ(SysExStr(big, 32, data, -4), "");
  char two[2] = {'#', '#'};
  EXPECT_STREQ(SysExStr(two, 2, data, 3), "");  // not even one byte fits

  ISysEx sysex(5, data, 3);
  sysex.Clear();
  EXPECT_EQ(sysex.mBytes, nullptr);
  EXPECT_EQ(sysex.mByteCount, 0);
}

namespace {
struct tm MakeTime(int year, int yday, int hour, int minute) {
  struct tm t = {};
  t.tm_year = year - 1900;
  t.tm_yday = yday;
  t.tm_hour = hour;
  t.tm_min = minute;
  // strftime only needs the calendar date for %Y%m%d; day-of-year 0 is 1 January.
  t.tm_mon = 0;
  t.tm_mday = 1;
  return t;
}

std::string Offset(const struct tm& local, const struct tm& utc) {
  std::string text = FormatTimeWithUTCOffset(local, utc);
  return text.substr(text.size() - 5);
}
}  // namespace

TEST(Log, UTCOffsetAcrossDayAndYearBoundaries) {
  EXPECT_EQ(Offset(MakeTime(2026, 10, 14, 30), MakeTime(2026, 10, 13, 30)), "+0100");
  EXPECT_EQ(Offset(MakeTime(2026, 10, 12, 0), MakeTime(2026, 10, 12, 0)), "+0000");
  EXPECT_EQ(Offset(MakeTime(2026, 10, 7, 0), MakeTime(2026, 10, 12, 30)), "-0530");
  // Local already tomorrow (east of UTC).
  EXPECT_EQ(Offset(MakeTime(2026, 11, 1, 0), MakeTime(2026, 10, 22, 0)), "+0300");
  // Local still yesterday (west of UTC).
  EXPECT_EQ(Offset(MakeTime(2026, 9, 20, 0), MakeTime(2026, 10, 2, 0)), "-0600");
  // New Year: local 1 January 09:00, UTC 31 December 23:00 (day 364).
  EXPECT_EQ(Offset(MakeTime(2027, 0, 9, 0), MakeTime(2026, 364, 23, 0)), "+1000");
  // And the other way: local 31 December 14:00 (leap year day 365), UTC 1 January 00:00.
  EXPECT_EQ(Offset(MakeTime(2028, 365, 14, 0), MakeTime(2029, 0, 0, 0)), "-1000");

  struct tm local = MakeTime(2026, 0, 9, 5);
  std::string text = FormatTimeWithUTCOffset(local, local);
  EXPECT_EQ(text, "20260101 09:05 +0000");
  EXPECT_EQ(std::strlen(CurrentTime()), text.size());
}

TEST(Log, TimestampsAndTextHelpers) {
  UTL_String stamp;
  CompileTimestamp("Jan 27 2017", "12:34:56", &stamp);
  EXPECT_STREQ(stamp.Get(), "[Jan27 12:34]");
  EXPECT_STREQ(AppendTimestamp("Jan 27 2017", "12:34:56", "Orvanta"), "Orvanta [Jan27 12:34]");
  CompileTimestamp("Ja", nullptr, &stamp);  // short texts never read past their end
  EXPECT_STREQ(stamp.Get(), "[Ja ]");

  for (char c : std::string("\t\n\r ")) EXPECT_TRUE(IsWhitespace(c));
  EXPECT_FALSE(IsWhitespace('a'));
  EXPECT_FALSE(IsWhitespace('\v'));
  char lower[16];
  ToLower(lower, "ReAPER-64");
  EXPECT_STREQ(lower, "reaper-64");
}
