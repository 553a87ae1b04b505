#include "framework/IMidiMsg.h"

#include <cstdio>

void IMidiMsg::Clear() { *this = IMidiMsg(); }

void IMidiMsg::MakeNoteOnMsg(int noteNumber, int velocity, int offset, int channel) {
  Clear();
  mSampleOffset = offset;
  mStatusByte = (unsigned char)(0x90 | (channel & 0x0f));
  mFirstData = (unsigned char)noteNumber;
  mSecondData = (unsigned char)velocity;
}

void IMidiMsg::MakeNoteOffMsg(int noteNumber, int offset, int channel) {
  Clear();
  mSampleOffset = offset;
  mStatusByte = (unsigned char)(0x80 | (channel & 0x0f));
  mFirstData = (unsigned char)noteNumber;
}

void IMidiMsg::MakePitchWheelMsg(double value, int channel) {
  Clear();
  mStatusByte = (unsigned char)(0xE0 | (channel & 0x0f));
  // Clamp before converting: a huge or NaN value must not reach the int conversion.
  double scaled = value * 8192.0;
  if (!(scaled > -8192.0)) scaled = -8192.0;
  if (scaled > 8191.0) scaled = 8191.0;
  int i = (int)scaled + 8192;
  if (i < 0) i = 0;
  if (i > 16383) i = 16383;
  mFirstData = (unsigned char)(i & 0x7f);
  mSecondData = (unsigned char)(i >> 7);
}

void IMidiMsg::MakeControlChangeMsg(EControlChangeMsg idx, double value, int channel) {
  Clear();
  mStatusByte = (unsigned char)(0xB0 | (channel & 0x0f));
  mFirstData = (unsigned char)idx;
  double scaled = value * 127.0;
  if (!(scaled > 0.0)) scaled = 0.0;
  if (scaled > 127.0) scaled = 127.0;
  mSecondData = (unsigned char)(int)scaled;
}

int IMidiMsg::Channel() const { return mStatusByte & 0x0f; }

IMidiMsg::EStatusMsg IMidiMsg::StatusMsg() const {
  unsigned e = mStatusByte >> 4;
  return (e >= kNoteOff && e <= kPitchWheel) ? (EStatusMsg)e : kNone;
}

int IMidiMsg::NoteNumber() const {
  switch (StatusMsg()) {
    case kNoteOn:
    case kNoteOff:
    case kPolyAftertouch:
      return mFirstData;
    default:
      return -1;
  }
}

int IMidiMsg::Velocity() const {
  EStatusMsg s = StatusMsg();
  return (s == kNoteOn || s == kNoteOff) ? mSecondData : -1;
}

int IMidiMsg::PolyAfterTouch() const { return StatusMsg() == kPolyAftertouch ? mSecondData : -1; }

int IMidiMsg::ChannelAfterTouch() const {
  return StatusMsg() == kChannelAftertouch ? mFirstData : -1;
}

int IMidiMsg::Program() const { return StatusMsg() == kProgramChange ? mFirstData : -1; }

double IMidiMsg::PitchWheel() const {
  if (StatusMsg() != kPitchWheel) return 0.0;
  int i = (mSecondData << 7) + mFirstData;
  return (double)(i - 8192) / 8192.0;
}

IMidiMsg::EControlChangeMsg IMidiMsg::ControlChangeIdx() const {
  return (EControlChangeMsg)mFirstData;
}

double IMidiMsg::ControlChange(EControlChangeMsg idx) const {
  if (StatusMsg() == kControlChange && ControlChangeIdx() == idx) return mSecondData / 127.0;
  return -1.0;
}

void IMidiMsg::LogMsg() const {}

const char* StatusMsgStr(IMidiMsg::EStatusMsg msg) {
  switch (msg) {
    case IMidiMsg::kNone:
      return "none";
    case IMidiMsg::kNoteOff:
      return "noteoff";
    case IMidiMsg::kNoteOn:
      return "noteon";
    case IMidiMsg::kPolyAftertouch:
      return "aftertouch";
    case IMidiMsg::kControlChange:
      return "controlchange";
    case IMidiMsg::kProgramChange:
      return "programchange";
    case IMidiMsg::kChannelAftertouch:
      return "channelaftertouch";
    case IMidiMsg::kPitchWheel:
      return "pitchwheel";
    default:
      return "unknown";
  }
}

void ISysEx::Clear() { *this = ISysEx(); }

void ISysEx::LogMsg() const {}

char* SysExStr(char* buf, int bufSize, const unsigned char* data, int size) {
  if (!buf || bufSize <= 0) return buf;
  buf[0] = '\0';
  if (!data || size <= 0) return buf;
  // Three characters per byte: two digits and a space, the last space being the terminator.
  int n = size < bufSize / 3 ? size : bufSize / 3;
  char* p = buf;
  for (int i = 0; i < n; ++i) {
    if (i > 0) *p++ = ' ';
    snprintf(p, 3, "%02X", data[i]);
    p += 2;
  }
  *p = '\0';
  return buf;
}
