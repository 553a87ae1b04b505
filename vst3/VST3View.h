#pragma once
// The VST3 editor view and the Linux run loop a host lends it through the view's frame.

#include "vst3/VST3Base.h"

namespace vst3 {

struct ViewRect {
  int32 left;
  int32 top;
  int32 right;
  int32 bottom;
};

constexpr char kPlatformTypeX11EmbedWindowID[] = "X11EmbedWindowID";
constexpr char kEditorViewType[] = "editor";

class IPlugFrame;

class IPlugView : public FUnknown {
 public:
  static constexpr Uid kIID = Uid::FromWords(0x5BC32507, 0xD06049EA, 0xA6151B52, 0x2B755B29);
  virtual tresult isPlatformTypeSupported(FIDString type) = 0;
  virtual tresult attached(void* parent, FIDString type) = 0;
  virtual tresult removed() = 0;
  virtual tresult onWheel(float distance) = 0;
  virtual tresult onKeyDown(char16_t key, int16 keyCode, int16 modifiers) = 0;
  virtual tresult onKeyUp(char16_t key, int16 keyCode, int16 modifiers) = 0;
  virtual tresult getSize(ViewRect* size) = 0;
  virtual tresult onSize(ViewRect* newSize) = 0;
  virtual tresult onFocus(TBool state) = 0;
  virtual tresult setFrame(IPlugFrame* frame) = 0;
  virtual tresult canResize() = 0;
  virtual tresult checkSizeConstraint(ViewRect* rect) = 0;
};

class IPlugFrame : public FUnknown {
 public:
  static constexpr Uid kIID = Uid::FromWords(0x367FAF01, 0xAFA94693, 0x8D4DA2A0, 0xED0882A3);
  virtual tresult resizeView(IPlugView* view, ViewRect* newSize) = 0;
};

class IPlugViewContentScaleSupport : public FUnknown {
 public:
  static constexpr Uid kIID = Uid::FromWords(0x65ED9690, 0x8AC44525, 0x8AADEF7A, 0x72EA703F);
  virtual tresult setContentScaleFactor(float factor) = 0;
};

class IEventHandler : public FUnknown {
 public:
  static constexpr Uid kIID = Uid::FromWords(0x561E65C9, 0x13A0496F, 0x813A2C35, 0x654D7983);
  virtual void onFDIsSet(int fd) = 0;
};

class ITimerHandler : public FUnknown {
 public:
  static constexpr Uid kIID = Uid::FromWords(0x10BDD94F, 0x41424774, 0x821FAD8F, 0xECA72CA9);
  virtual void onTimer() = 0;
};

class IRunLoop : public FUnknown {
 public:
  static constexpr Uid kIID = Uid::FromWords(0x18C35366, 0x97764F1A, 0x9C5B8385, 0x7A871389);
  virtual tresult registerEventHandler(IEventHandler* handler, int fd) = 0;
  virtual tresult unregisterEventHandler(IEventHandler* handler) = 0;
  virtual tresult registerTimer(ITimerHandler* handler, uint64 milliseconds) = 0;
  virtual tresult unregisterTimer(ITimerHandler* handler) = 0;
};

}  // namespace vst3
