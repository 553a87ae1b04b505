// The window-system-independent rules of the editor view.
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "platform/x11/EntryFormatter.h"
#include "platform/x11/InputRules.h"
#include "platform/x11/MenuTitles.h"
#include "platform/x11/MessageBoxRules.h"
#include "platform/x11/PixelDoubling.h"
#include "platform/x11/ResourceNames.h"
#include "platform/x11/UiScale.h"
#include "platform/x11/UrlRules.h"
#include "platform/x11/ViewCoordinates.h"
#include "platform/x11/X11Typing.h"
#include "platform/x11/XdgPaths.h"

using namespace viewrules;

TEST(ViewCoordinates, ViewRectanglesRoundTripAndCoverTouchingEdges) {
  PixelRect r{48, 106, 70, 393};
  ViewRect v = ToViewRect(r);
  EXPECT_EQ(v.x, 48);
  EXPECT_EQ(v.y, 106);
  EXPECT_EQ(v.w, 23);
  EXPECT_EQ(v.h, 288);
  // Painting a region reads it back exactly (the extra row and column included).
  PixelRect back = ToPixelRect(v);
  EXPECT_EQ(back.L, 48);
  EXPECT_EQ(back.T, 106);
  EXPECT_EQ(back.R, 71);
  EXPECT_EQ(back.B, 394);
}

TEST(ViewCoordinates, TopLeftViewKeepsRowsAndTruncatesFractions) {
  ViewRect v = ToViewRect({10, 20, 30, 40});
  EXPECT_EQ(v.y, 20);
  EXPECT_EQ(v.h, 21);
  PixelRect r = ToPixelRect({1.9, 2.5, 10.2, 3.7});
  EXPECT_EQ(r.L, 1);
  EXPECT_EQ(r.T, 2);
  EXPECT_EQ(r.R, 12);
  EXPECT_EQ(r.B, 6);
}

TEST(ViewCoordinates, PointerPoints) {
  PixelPoint p = ToEnginePoint(10.7, 5.2);
  EXPECT_EQ(p.x, 10);
  EXPECT_EQ(p.y, 5);
}

TEST(ViewCoordinates, ClipToSurface) {
  PixelRect c = ClipToSurface({-5, 430, 300, 500}, 274, 438);
  EXPECT_EQ(c.L, 0);
  EXPECT_EQ(c.T, 430);
  EXPECT_EQ(c.R, 274);
  EXPECT_EQ(c.B, 438);
  c = ClipToSurface({300, 500, 310, 510}, 274, 438);
  EXPECT_EQ(c.R - c.L, 0);
  EXPECT_EQ(c.B - c.T, 0);
  c = ClipToSurface({10, 10, 5, 5}, 274, 438);  // inverted: empty, never negative
  EXPECT_EQ(c.R - c.L, 0);
}

TEST(InputRules, ModifierTable) {
  InputState none;
  Modifiers m = ModifiersFor(PointerButton::kLeft, none);
  EXPECT_TRUE(m.L);
  EXPECT_FALSE(m.R || m.S || m.C || m.A);

  InputState command;
  command.command = true;
  m = ModifiersFor(PointerButton::kLeft, command);
  EXPECT_TRUE(m.L && m.R);

  InputState all{true, true, true, false};
  m = ModifiersFor(PointerButton::kRight, all);
  EXPECT_FALSE(m.L);
  EXPECT_TRUE(m.R && m.S && m.C && m.A);
}

TEST(InputRules, KeyTable) {
  struct Case {
    NamedKey named;
    const char* text;
    KeyDisposition disposition;
    int code;
  };
  const Case cases[] = {
      {NamedKey::kSpace, "", KeyDisposition::kEngine, 0},
      {NamedKey::kNone, " ", KeyDisposition::kEngine, 0},
      {NamedKey::kUp, "", KeyDisposition::kEngine, 1},
      {NamedKey::kDown, "", KeyDisposition::kEngine, 2},
      {NamedKey::kLeft, "", KeyDisposition::kEngine, 3},
      {NamedKey::kRight, "", KeyDisposition::kEngine, 4},
      {NamedKey::kNone, "0", KeyDisposition::kEngine, 5},
      {NamedKey::kNone, "9", KeyDisposition::kEngine, 14},
      {NamedKey::kNone, "a", KeyDisposition::kEngine, 15},
      {NamedKey::kNone, "q", KeyDisposition::kEngine, 31},
      {NamedKey::kNone, "Q", KeyDisposition::kEngine, 31},
      {NamedKey::kNone, "Z", KeyDisposition::kEngine, 40},
      {NamedKey::kNone, "%", KeyDisposition::kForward, -1},
      {NamedKey::kNone, "ab", KeyDisposition::kDrop, -1},
      {NamedKey::kNone, "", KeyDisposition::kDrop, -1},
      {NamedKey::kNone, nullptr, KeyDisposition::kDrop, -1},
  };
  for (const Case& c : cases) {
    KeyTranslation t = TranslateKey(c.named, c.text);
    EXPECT_EQ(t.disposition, c.disposition) << (c.text ? c.text : "(null)");
    EXPECT_EQ(t.code, c.code) << (c.text ? c.text : "(null)");
  }
}

TEST(InputRules, DoubleClicksAreCountedPerButtonPlaceAndTime) {
  ClickCounter clicks(400, 4);
  EXPECT_EQ(clicks.Press(1000, 50, 50, PointerButton::kLeft), 1);
  EXPECT_EQ(clicks.Press(1300, 52, 49, PointerButton::kLeft), 2);
  EXPECT_EQ(clicks.Press(1600, 52, 49, PointerButton::kLeft), 3);
  EXPECT_EQ(clicks.Press(2100, 52, 49, PointerButton::kLeft), 1);   // too late
  EXPECT_EQ(clicks.Press(2200, 60, 49, PointerButton::kLeft), 1);   // moved away
  EXPECT_EQ(clicks.Press(2300, 60, 49, PointerButton::kRight), 1);  // other button
  clicks.Reset();
  EXPECT_EQ(clicks.Press(2400, 60, 49, PointerButton::kRight), 1);

  EXPECT_EQ(DeliverPress(PointerButton::kLeft, 1), PressDelivery::kMouseDown);
  EXPECT_EQ(DeliverPress(PointerButton::kLeft, 2), PressDelivery::kDoubleClick);
  EXPECT_EQ(DeliverPress(PointerButton::kLeft, 3), PressDelivery::kDoubleClick);
  EXPECT_EQ(DeliverPress(PointerButton::kRight, 2), PressDelivery::kMouseDown);
}

TEST(InputRules, WheelSteps) {
  EXPECT_EQ(WheelStepsForButton(4), 1);
  EXPECT_EQ(WheelStepsForButton(5), -1);
  EXPECT_EQ(WheelStepsForButton(6), 0);
  EXPECT_EQ(WheelStepsForButton(1), 0);
}

TEST(EntryFormatter, CharacterSetsFollowTheParameterType) {
  EXPECT_STREQ(EntryCharacters(1), "0123456789-+");
  EXPECT_STREQ(EntryCharacters(2), "0123456789-+");
  EXPECT_STREQ(EntryCharacters(3), "0123456789-+");
  EXPECT_STREQ(EntryCharacters(4), "0123456789.-+");
  EXPECT_EQ(EntryCharacters(0), nullptr);

  EntryFormatter integer(EntryCharacters(2), 7, 0);
  EntryFormatter real(EntryCharacters(4), 7, 0);
  EXPECT_FALSE(real.IsValid("%"));
  EXPECT_FALSE(integer.IsValid("1.5"));
  EXPECT_TRUE(real.IsValid("1.5"));
  EXPECT_TRUE(real.IsValid("-94.0"));
  EXPECT_TRUE(real.IsValid(""));
}

TEST(EntryFormatter, LengthAndValueLimits) {
  EntryFormatter length(nullptr, 7, 0);
  EXPECT_TRUE(length.IsValid("1234567"));
  EXPECT_FALSE(length.IsValid("12345678"));
  EXPECT_TRUE(length.IsValid("\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9"));

  EntryFormatter value(nullptr, 0, 100);
  EXPECT_TRUE(value.IsValid("100"));
  EXPECT_FALSE(value.IsValid("101"));
  EXPECT_TRUE(value.IsValid("-5000"));
  EXPECT_TRUE(value.IsValid("abc"));
  EXPECT_FALSE(value.IsValid("99999999999999999999999"));  // saturates, not wraps

  EXPECT_EQ(LeadingInteger("  -42dB"), -42);
  EXPECT_EQ(LeadingInteger("+7"), 7);
  EXPECT_EQ(LeadingInteger("x1"), 0);
}

TEST(MenuTitles, Prefixes) {
  UTL_String t;
  MenuItemTitle(0, 1, "Mono", &t);
  EXPECT_STREQ(t.Get(), "Mono");
  MenuItemTitle(1, 3, "Mono", &t);
  EXPECT_STREQ(t.Get(), "3: Mono");
  MenuItemTitle(2, 1, "A", &t);
  EXPECT_STREQ(t.Get(), "01: A");
  MenuItemTitle(2, 2, "B", &t);
  EXPECT_STREQ(t.Get(), "02: B");
  MenuItemTitle(3, 12, "C", &t);
  EXPECT_STREQ(t.Get(), "012: C");
  MenuItemTitle(1, 12, "C", &t);  // the width is a minimum
  EXPECT_STREQ(t.Get(), "12: C");
  MenuItemTitle(7, 1, "D", &t);
  EXPECT_STREQ(t.Get(), "D");
  MenuItemTitle(0, 1, nullptr, &t);
  EXPECT_STREQ(t.Get(), "");
}

TEST(PixelDoubling, EveryPixelBecomesATwoByTwoBlock) {
  EXPECT_EQ(DoubledRowSpan(274), 548);
  EXPECT_EQ(DoubledRowSpan(3), 8);
  EXPECT_EQ(DoubledBufferBytes(274, 438), 438u * 548u * 8u + 32u);

  const int w = 3, h = 2, span = 4;  // source rows padded by one pixel
  uint32_t src[span * h] = {1, 2, 3, 99, 4, 5, 6, 99};
  std::vector<unsigned char> buffer(DoubledBufferBytes(w, h));
  uint32_t* dst = AlignDoubledStart(buffer.data());
  EXPECT_EQ((uintptr_t)dst % 32, 0u);
  int dspan = DoubledRowSpan(w);
  ASSERT_LE((unsigned char*)(dst + dspan * 2 * h), buffer.data() + buffer.size());
  DoublePixels(src, span, w, h, dst, dspan);
  for (int y = 0; y < 2 * h; ++y) {
    for (int x = 0; x < 2 * w; ++x) {
      EXPECT_EQ(dst[y * dspan + x], src[(y / 2) * span + x / 2]) << x << "," << y;
    }
  }
}

TEST(UiScale, ChoiceFromOverrideHostGdkScaleAndXftDpi) {
  struct Case {
    const char* override;
    double host;
    const char* gdk;
    double dpi;
    int scale;
  } cases[] = {
      {nullptr, 0, nullptr, 0, 1},   {nullptr, 0, nullptr, 96, 1},
      {nullptr, 0, nullptr, 144, 2}, {nullptr, 0, nullptr, 143.9, 1},
      {nullptr, 0, "2", 0, 2},       {nullptr, 0, "1", 192, 1},  // GDK_SCALE before dpi
      {nullptr, 0, "3", 0, 2},       {nullptr, 0, "x", 144, 2},  // unreadable: ignored
      {nullptr, 2, "1", 96, 2},      {nullptr, 1, "2", 192, 1},  // the host before both
      {nullptr, 1.5, nullptr, 0, 2}, {nullptr, 1.25, nullptr, 0, 1},
      {"1", 2, "2", 192, 1},         {"2", 1, nullptr, 96, 2},  // the override before all
      {"3", 0, nullptr, 144, 2},     {"", 2, nullptr, 0, 2},    // only 1 or 2 override
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ChooseUiScale({c.override, c.host, c.gdk, c.dpi}), c.scale)
        << (c.override ? c.override : "-") << " " << c.host << " " << (c.gdk ? c.gdk : "-") << " "
        << c.dpi;
  }
  EXPECT_EQ(UiScaleOverrideProblem("abc", 1),
            "ORVANTA_UI_SCALE=abc is not a scale the editor has; it takes 1 or 2 (opening at 1x)");
  for (const char* fine : {"1", "2", ""}) EXPECT_EQ(UiScaleOverrideProblem(fine, 1), "") << fine;
  EXPECT_EQ(XftDpiFromResources("Xft.antialias:\t1\nXft.dpi:\t144\n"), 144);
  EXPECT_EQ(XftDpiFromResources("Xft.dpi: 96.5"), 96.5);
  EXPECT_EQ(XftDpiFromResources("*Xft.dpi:\t192\nXft.dpi:\tbig\n"), 0);
  EXPECT_EQ(XftDpiFromResources(nullptr), 0);
  // Both window pixels of an engine pixel map onto it, left of and above the window too.
  const int window[] = {0, 1, 2, 547, -1, -2, -3};
  const int engine[] = {0, 0, 1, 273, -1, -1, -2};
  for (int i = 0; i < 7; ++i) EXPECT_EQ(ToEngineCoordinate(window[i], 2), engine[i]) << window[i];
  EXPECT_EQ(ToEngineCoordinate(-3, 1), -3);
}

TEST(KeySymText, LatinAndUnicodeSymbolsTypeUtf8AndControlsNothing) {
  const struct {
    unsigned long keysym;
    const char* text;
  } cases[] = {{0x61, "a"},      {0xb5, "µ"},     {0xe9, "é"}, {0x100221e, "∞"},
               {0x101f3b5, "🎵"}, {0xff0d, ""},    {0x7f, ""},  {0x1000009, ""},
               {0x100d800, ""},  {0x1110000, ""}, {0xff51, ""}};
  for (const auto& c : cases) EXPECT_EQ(KeySymUtf8(c.keysym), c.text) << std::hex << c.keysym;
}

TEST(MessageBoxRules, ButtonsAndAnswers) {
  MessageBoxLabels yesNo = MessageBoxButtons(4);
  EXPECT_STREQ(yesNo.defaultLabel, "Yes");
  EXPECT_STREQ(yesNo.alternateLabel, "No");
  EXPECT_EQ(yesNo.otherLabel, nullptr);
  EXPECT_EQ(MessageBoxAnswer(4, MessageBoxButton::kDefault), 1);
  EXPECT_EQ(MessageBoxAnswer(4, MessageBoxButton::kAlternate), 7);

  MessageBoxLabels three = MessageBoxButtons(3);
  EXPECT_STREQ(three.otherLabel, "Cancel");
  EXPECT_EQ(MessageBoxAnswer(3, MessageBoxButton::kAlternate), 7);
  EXPECT_EQ(MessageBoxAnswer(3, MessageBoxButton::kOther), 2);

  // Cancel in an OK/Cancel box answers Cancel, never No.
  MessageBoxLabels okCancel = MessageBoxButtons(1);
  EXPECT_STREQ(okCancel.alternateLabel, "Cancel");
  EXPECT_EQ(MessageBoxAnswer(1, MessageBoxButton::kAlternate), 2);

  MessageBoxLabels plain = MessageBoxButtons(0);
  EXPECT_STREQ(plain.defaultLabel, "OK");
  EXPECT_EQ(plain.alternateLabel, nullptr);
}

TEST(UrlRules, WebAddressesAndFiles) {
  UTL_String target;
  EXPECT_TRUE(OpenableAddress("https://orvanta.example/", "/tmp", &target));
  EXPECT_STREQ(target.Get(), "https://orvanta.example/");
  EXPECT_TRUE(IsWebAddress("see http somewhere"));  // "http" anywhere counts
  EXPECT_FALSE(IsWebAddress("/home/me/manual.pdf"));

  EXPECT_TRUE(OpenableAddress("/home/me/My Manual#1.pdf", "/tmp", &target));
  EXPECT_STREQ(target.Get(), "file:///home/me/My%20Manual%231.pdf");
  EXPECT_TRUE(OpenableAddress("docs/a.txt", "/work", &target));
  EXPECT_STREQ(target.Get(), "file:///work/docs/a.txt");
  EXPECT_TRUE(OpenableAddress("a.txt", "/", &target));
  EXPECT_STREQ(target.Get(), "file:///a.txt");

  // Nothing to open is a failure, not a success.
  EXPECT_FALSE(OpenableAddress("", "/tmp", &target));
  EXPECT_FALSE(OpenableAddress(nullptr, "/tmp", &target));
  EXPECT_FALSE(OpenableAddress("a.txt", nullptr, &target));
  EXPECT_STREQ(target.Get(), "");
}

TEST(ResourceNames, OnlyPngNamesBecomeResourcePaths) {
  EXPECT_TRUE(HasPngExtension("resources/img/knob.png"));
  EXPECT_TRUE(HasPngExtension("KNOB.PNG"));
  EXPECT_TRUE(HasPngExtension("a.b.Png"));
  EXPECT_FALSE(HasPngExtension("knob.png.jpg"));
  EXPECT_FALSE(HasPngExtension("png"));
  EXPECT_FALSE(HasPngExtension("knob.pngx"));
  EXPECT_FALSE(HasPngExtension(nullptr));

  UTL_String s;
  ResourceBaseName("resources/img/orvantaBack.png", &s);
  EXPECT_STREQ(s.Get(), "orvantaBack");
  ResourceBaseName("a.b.PNG", &s);
  EXPECT_STREQ(s.Get(), "a.b");
  ResourceBaseName("noext", &s);
  EXPECT_STREQ(s.Get(), "noext");

  EXPECT_TRUE(ResourcePath("/b/Contents/Resources", "resources/img/KNOB.PNG", &s));
  EXPECT_STREQ(s.Get(), "/b/Contents/Resources/KNOB.png");
  EXPECT_TRUE(ResourcePath("/r/", "../../etc/x.png", &s));  // the folder part is dropped
  EXPECT_STREQ(s.Get(), "/r/x.png");
  EXPECT_FALSE(ResourcePath("/r", "knob.jpg", &s));
  EXPECT_STREQ(s.Get(), "");
  EXPECT_FALSE(ResourcePath("/r", "img/.png", &s));
  EXPECT_FALSE(ResourcePath("", "knob.png", &s));
}

namespace {
std::map<std::string, std::string> gEnv;
const char* FakeEnv(const char* name) {
  auto it = gEnv.find(name);
  return it == gEnv.end() ? nullptr : it->second.c_str();
}
}  // namespace

TEST(XdgPaths, FoldersFromTheEnvironmentAndUserDirs) {
  UTL_String p;
  gEnv = {};
  EXPECT_FALSE(DesktopFolder(FakeEnv, nullptr, &p));
  EXPECT_FALSE(MusicFolder(FakeEnv, &p));

  gEnv = {{"HOME", "/home/ann"}};
  EXPECT_TRUE(DesktopFolder(FakeEnv, nullptr, &p));
  EXPECT_STREQ(p.Get(), "/home/ann/Desktop");
  const char* dirs =
      "# written by xdg-user-dirs-update\nXDG_MUSIC_DIR=\"$HOME/Musik\"\n"
      "XDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n";
  EXPECT_TRUE(DesktopFolder(FakeEnv, dirs, &p));
  EXPECT_STREQ(p.Get(), "/home/ann/Schreibtisch");
  EXPECT_TRUE(DesktopFolder(FakeEnv, "XDG_DESKTOP_DIR=\"/data/desk\"", &p));
  EXPECT_STREQ(p.Get(), "/data/desk");
  EXPECT_TRUE(DesktopFolder(FakeEnv, "XDG_DESKTOP_DIR=\"relative\"\n", &p));  // ignored
  EXPECT_STREQ(p.Get(), "/home/ann/Desktop");

  EXPECT_TRUE(AppDataFolder(FakeEnv, false, &p));
  EXPECT_STREQ(p.Get(), "/home/ann/.local/share");
  EXPECT_TRUE(AppDataFolder(FakeEnv, true, &p));
  EXPECT_STREQ(p.Get(), "/usr/local/share");
  EXPECT_TRUE(MusicFolder(FakeEnv, &p));
  EXPECT_STREQ(p.Get(), "/home/ann/Music");
  EXPECT_TRUE(UserDirsFile(FakeEnv, &p));
  EXPECT_STREQ(p.Get(), "/home/ann/.config/user-dirs.dirs");

  gEnv = {{"HOME", "/home/ann"},
          {"XDG_DATA_HOME", "/xdg/data"},
          {"XDG_DATA_DIRS", "/opt/share:/usr/share"},
          {"XDG_CONFIG_HOME", "/xdg/config"}};
  EXPECT_TRUE(AppDataFolder(FakeEnv, false, &p));
  EXPECT_STREQ(p.Get(), "/xdg/data");
  EXPECT_TRUE(AppDataFolder(FakeEnv, true, &p));
  EXPECT_STREQ(p.Get(), "/opt/share");
  EXPECT_TRUE(UserDirsFile(FakeEnv, &p));
  EXPECT_STREQ(p.Get(), "/xdg/config/user-dirs.dirs");
}
