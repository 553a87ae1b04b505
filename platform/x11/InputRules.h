#pragma once
// How pointer, wheel and key input becomes engine calls: the modifier flags, the engine's
// key codes, double-click detection and wheel steps.

namespace viewrules {

// The engine's modifier flags: left button, right button, shift, control, alt.
struct Modifiers {
  bool L = false, R = false, S = false, C = false, A = false;
};

// Keyboard and button state at the time of an event, independent of the window system.
// The Super key plays the Command key's part.
struct InputState {
  bool shift = false, control = false, alt = false, command = false;
};

enum class PointerButton { kLeft, kRight };

// Left-button events, pointer motion and the wheel report L set and R as the Command key
// (Command-click is the one-button way to ask for a control's prompt); right-button events
// report R set and L clear.
Modifiers ModifiersFor(PointerButton button, const InputState& state);

// Keys that the engine knows by name rather than by character.
enum class NamedKey { kNone, kSpace, kUp, kDown, kLeft, kRight };

// Engine key codes: 0 space, 1..4 up, down, left, right, 5..14 digits, 15..40 letters.
enum class KeyDisposition {
  kEngine,   // hand `code` to the engine
  kDrop,     // swallow the event
  kForward,  // not ours: give it to the host
};

struct KeyTranslation {
  KeyDisposition disposition = KeyDisposition::kDrop;
  int code = -1;
};

// namedKey wins; otherwise `text` (what the key types, without modifiers) decides: exactly
// one character is required, digits and letters (either case) map to codes, any other
// character goes to the host.
KeyTranslation TranslateKey(NamedKey namedKey, const char* text);

// A press becomes a double click from the second click of a series on; a right-button
// press is always an ordinary press.
enum class PressDelivery { kMouseDown, kDoubleClick };
PressDelivery DeliverPress(PointerButton button, int clickCount);

// Counts clicks in a series: a press continues the series when it comes within the
// interval of the previous press, with the same button and close to it.
class ClickCounter {
 public:
  explicit ClickCounter(unsigned long intervalMs = 400, int slopPixels = 4)
      : mInterval(intervalMs), mSlop(slopPixels) {}

  // Returns 1 for the first press of a series, 2 for the second and so on.
  int Press(unsigned long timeMs, int x, int y, PointerButton button);
  void Reset() { mCount = 0; }

 private:
  unsigned long mInterval;
  int mSlop;
  int mCount = 0;
  unsigned long mLastTime = 0;
  int mLastX = 0, mLastY = 0;
  PointerButton mLastButton = PointerButton::kLeft;
};

// X11 reports wheel notches as buttons 4 (up) and 5 (down); 6 and 7 scroll sideways,
// which the engine does not take. 0 for any other button.
int WheelStepsForButton(unsigned int button);

}  // namespace viewrules
