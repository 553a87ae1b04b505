#include "platform/x11/InputRules.h"

#include <cstdlib>
#include <cstring>

namespace viewrules {

Modifiers ModifiersFor(PointerButton button, const InputState& state) {
  Modifiers m;
  m.L = button == PointerButton::kLeft;
  m.R = button == PointerButton::kRight || state.command;
  m.S = state.shift;
  m.C = state.control;
  m.A = state.alt;
  return m;
}

KeyTranslation TranslateKey(NamedKey namedKey, const char* text) {
  switch (namedKey) {
    case NamedKey::kSpace:
      return {KeyDisposition::kEngine, 0};
    case NamedKey::kUp:
      return {KeyDisposition::kEngine, 1};
    case NamedKey::kDown:
      return {KeyDisposition::kEngine, 2};
    case NamedKey::kLeft:
      return {KeyDisposition::kEngine, 3};
    case NamedKey::kRight:
      return {KeyDisposition::kEngine, 4};
    case NamedKey::kNone:
      break;
  }
  if (!text || std::strlen(text) != 1) return {KeyDisposition::kDrop, -1};
  char c = text[0];
  if (c == ' ') return {KeyDisposition::kEngine, 0};
  if (c >= '0' && c <= '9') return {KeyDisposition::kEngine, 5 + (c - '0')};
  if (c >= 'a' && c <= 'z') return {KeyDisposition::kEngine, 15 + (c - 'a')};
  if (c >= 'A' && c <= 'Z') return {KeyDisposition::kEngine, 15 + (c - 'A')};
  return {KeyDisposition::kForward, -1};
}

PressDelivery DeliverPress(PointerButton button, int clickCount) {
  if (button == PointerButton::kLeft && clickCount >= 2) return PressDelivery::kDoubleClick;
  return PressDelivery::kMouseDown;
}

int ClickCounter::Press(unsigned long timeMs, int x, int y, PointerButton button) {
  bool continues = mCount > 0 && button == mLastButton && timeMs - mLastTime <= mInterval &&
                   std::abs(x - mLastX) <= mSlop && std::abs(y - mLastY) <= mSlop;
  mCount = continues ? mCount + 1 : 1;
  mLastTime = timeMs;
  mLastX = x;
  mLastY = y;
  mLastButton = button;
  return mCount;
}

int WheelStepsForButton(unsigned int button) {
  if (button == 4) return 1;
  if (button == 5) return -1;
  return 0;
}

}  // namespace viewrules
