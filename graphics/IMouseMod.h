#pragma once
// Mouse buttons and modifier keys of one event. R opens a value prompt; S or C selects
// fine adjustment.

struct IMouseMod {
  bool L = false, R = false, S = false, C = false, A = false;

  IMouseMod() = default;
  IMouseMod(bool l, bool r = false, bool s = false, bool c = false, bool a = false)
      : L(l), R(r), S(s), C(c), A(a) {}

  bool Fine() const { return S || C; }
};
