#pragma once
// A small modal dialog window: a message, optionally a one-line text field, and a row of
// buttons. Used for message boxes and file prompts.

#include <X11/Xlib.h>

#include <functional>
#include <string>
#include <vector>

class X11Connection;

struct DialogSpec {
  std::string title;
  std::string message;  // lines separated by '\n'
  std::vector<std::string> buttons;
  int defaultButton = 0;  // Return presses it
  int cancelButton = -1;  // Escape presses it; -1: Escape does nothing
  bool hasField = false;
  std::string fieldText;
};

struct DialogResult {
  int button = -1;  // -1 when the window was closed without a button
  std::string fieldText;
};

// Runs the dialog until a button is pressed or the window is closed. accept, when given,
// may refuse a button press (returning false, with a note shown under the message).
// Events for other windows of the connection go to `others` meanwhile.
DialogResult RunDialog(
    X11Connection* connection, Window transientFor, const DialogSpec& request,
    const std::function<bool(int button, const std::string& field, std::string* note)>& accept,
    const std::function<void(XEvent&)>& others);
