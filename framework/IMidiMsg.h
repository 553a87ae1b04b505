#pragma once
// Short MIDI and system-exclusive message records.

struct IMidiMsg {
  enum EStatusMsg {
    kNone = 0,
    kNoteOff = 8,
    kNoteOn = 9,
    kPolyAftertouch = 10,
    kControlChange = 11,
    kProgramChange = 12,
    kChannelAftertouch = 13,
    kPitchWheel = 14
  };

  // Controller numbers of the control-change message.
  enum EControlChangeMsg {
    kModWheel = 1,
    kBreathController = 2,
    kFootController = 4,
    kPortamentoTime = 5,
    kChannelVolume = 7,
    kBalance = 8,
    kPan = 10,
    kExpressionController = 11,
    kSustainOnOff = 64,
    kPortamentoOnOff = 65,
    kSustenutoOnOff = 66,
    kSoftPedalOnOff = 67,
    kLegatoOnOff = 68,
    kAllSoundOff = 120,
    kResetAllControllers = 121,
    kAllNotesOff = 123
  };

  int mSampleOffset = 0;
  unsigned char mStatusByte = 0;
  unsigned char mFirstData = 0;
  unsigned char mSecondData = 0;

  IMidiMsg() = default;
  IMidiMsg(int offset, unsigned char status, unsigned char data1, unsigned char data2)
      : mSampleOffset(offset), mStatusByte(status), mFirstData(data1), mSecondData(data2) {}

  void Clear();
  void MakeNoteOnMsg(int noteNumber, int velocity, int offset, int channel = 0);
  void MakeNoteOffMsg(int noteNumber, int offset, int channel = 0);
  // value in -1..1; the 14-bit result is clamped.
  void MakePitchWheelMsg(double value, int channel = 0);
  // value in 0..1.
  void MakeControlChangeMsg(EControlChangeMsg idx, double value, int channel = 0);

  int Channel() const;
  EStatusMsg StatusMsg() const;
  int NoteNumber() const;
  int Velocity() const;
  int PolyAfterTouch() const;
  int ChannelAfterTouch() const;
  int Program() const;
  double PitchWheel() const;
  EControlChangeMsg ControlChangeIdx() const;
  double ControlChange(EControlChangeMsg idx) const;
  void LogMsg() const;
};

const char* StatusMsgStr(IMidiMsg::EStatusMsg msg);

// One system-exclusive message; the bytes are not owned.
struct ISysEx {
  int mSampleOffset = 0;
  int mByteCount = 0;
  const unsigned char* mBytes = nullptr;

  ISysEx() = default;
  ISysEx(int offset, const unsigned char* data, int size)
      : mSampleOffset(offset), mByteCount(size), mBytes(data) {}

  void Clear();
  void LogMsg() const;
};

// Hex dump "F0 7E F7" of as many bytes as fit (three characters per byte); returns buf.
char* SysExStr(char* buf, int bufSize, const unsigned char* data, int size);
