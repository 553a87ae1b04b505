#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "framework/Framework.h"

namespace {
std::string Display(const IParam& p, double value, bool normalized = false, bool texts = true) {
  char buf[IParam::kDisplayTextSize];
  p.GetDisplayForHost(value, normalized, buf, texts);
  return buf;
}
}  // namespace

TEST(IParam, FirstInitialiserFixesTheTypeAndMaxIsAdjusted) {
  IParam p;
  EXPECT_EQ(p.Type(), IParam::kTypeNone);
  p.InitDouble("d", 0.0, 0.0, 10.0, 1.0);
  p.InitInt("i", 2, 0, 10);
  EXPECT_EQ(p.Type(), IParam::kTypeDouble);
  // Still double: SetNormalized does not round to the step.
  p.SetNormalized(0.44);
  EXPECT_DOUBLE_EQ(p.Value(), 4.4);

  IParam d;
  d.InitDouble("d", 0.0, 5.0, 5.1, 0.5);
  EXPECT_DOUBLE_EQ(d.GetMax(), 5.5);  // max <= min + step gives min + step

  IParam e;
  e.InitEnum("e", 0, 1);
  EXPECT_DOUBLE_EQ(e.GetMax(), 1.0);
  IParam e3;
  e3.InitEnum("e", 1, 3);
  EXPECT_DOUBLE_EQ(e3.GetMax(), 2.0);

  IParam i;
  i.InitInt("i", 3, 7, 2);
  EXPECT_DOUBLE_EQ(i.GetMin(), 7.0);
  EXPECT_DOUBLE_EQ(i.GetMax(), 8.0);
}

TEST(IParam, ShapeZeroKeepsTheCurrentShape) {
  IParam p;
  p.InitDouble("d", 0.0, 0.0, 1.0, 0.01, "", "", 0.0);
  EXPECT_DOUBLE_EQ(p.GetShape(), 1.0);
  p.SetShape(0.3);
  p.SetShape(0.0);
  EXPECT_DOUBLE_EQ(p.GetShape(), 0.3);
  p.InitDouble("d", 0.0, 0.0, 1.0, 0.01, "", "", 0.0);
  EXPECT_DOUBLE_EQ(p.GetShape(), 0.3);
}

TEST(IParam, ShapedMappingOfTheDecibelCurves) {
  IParam gain, mono;
  gain.InitDouble("Gain", 0.0, -94.0, 6.0, 0.01, "dB", "", 1.0);
  gain.SetShape(0.09);
  mono.InitDouble("Mono", 0.0, -94.0, 6.0, 0.01, "dB", "", 1.0);
  mono.SetShape(0.19);

  gain.SetNormalized(0.5);
  EXPECT_NEAR(gain.Value(), -94.0 + 100.0 * std::pow(0.5, 0.09), 1e-12);
  EXPECT_NEAR(gain.Value(), -0.05, 0.01);
  gain.SetNormalized(0.25);
  EXPECT_NEAR(gain.Value(), -5.73, 0.01);
  mono.SetNormalized(0.5);
  EXPECT_NEAR(mono.Value(), -6.34, 0.01);

  // Round trip through the inverse curve.
  for (double n : {0.0, 0.1, 0.37, 0.8, 1.0}) {
    mono.SetNormalized(n);
    EXPECT_NEAR(mono.GetNormalized(), n, 1e-12) << n;
  }
  EXPECT_NEAR(gain.GetNormalized(0.0), std::pow(0.94, 1.0 / 0.09), 1e-12);
  EXPECT_DOUBLE_EQ(gain.GetNonNormalized(1.0), 6.0);
}

TEST(IParam, NormalisedClampsAndRounding) {
  IParam d;
  d.InitDouble("d", 0.0, -94.0, 6.0, 0.01);
  d.SetNormalized(1.0);
  EXPECT_EQ(d.Value(), 6.0);
  d.SetNormalized(1.7);
  EXPECT_EQ(d.Value(), 6.0);
  d.SetNormalized(-0.1);  // no lower clamp with shape 1
  EXPECT_NEAR(d.Value(), -104.0, 1e-9);
  d.SetNormalized(std::numeric_limits<double>::quiet_NaN());
  EXPECT_NEAR(d.Value(), -104.0, 1e-9);  // a NaN is ignored

  d.Set(50.0);
  EXPECT_EQ(d.GetNormalized(), 1.0);
  d.Set(-500.0);
  EXPECT_EQ(d.Value(), -94.0);
  EXPECT_EQ(d.GetNormalized(), 0.0);
  EXPECT_EQ(d.GetNormalized(1e9), 1.0);
  EXPECT_EQ(d.GetNormalized(-1e9), 0.0);
  d.Set(std::numeric_limits<double>::quiet_NaN());
  EXPECT_EQ(d.Value(), -94.0);

  IParam i;
  i.InitInt("i", 0, 0, 10);
  i.SetNormalized(0.44);
  EXPECT_EQ(i.Value(), 4.0);
  i.SetNormalized(0.45);
  EXPECT_EQ(i.Value(), 5.0);
}

TEST(IParam, DisplayPrecisionFollowsTheStep) {
  struct Case {
    double step;
    int precision;
  } cases[] = {{0.01, 2}, {0.1, 1}, {0.5, 1},  {0.25, 2},     {0.125, 3},
               {1.0, 0},  {2.0, 0}, {1e-7, 6}, {0.3333333, 6}};
  for (const Case& c : cases) {
    IParam p;
    p.InitDouble("p", 0.0, 0.0, 100.0, c.step);
    EXPECT_EQ(p.GetPrecision(), c.precision) << c.step;
  }
}

TEST(IParam, DisplayTextRules) {
  IParam d;
  d.InitDouble("d", 0.0, -94.0, 6.0, 0.01);
  EXPECT_EQ(Display(d, -6.339), "-6.34");
  EXPECT_EQ(Display(d, 1.0, true), "6.00");

  IParam i;
  i.InitInt("i", 0, 0, 10);
  EXPECT_EQ(Display(i, 3.9), "3");
  EXPECT_EQ(Display(i, -3.9), "-3");
  EXPECT_EQ(Display(i, 1e300), std::to_string(std::numeric_limits<int>::max()));

  IParam b;
  b.InitBool("b", true, "lbl");
  EXPECT_EQ(Display(b, 0.0), "off");
  EXPECT_EQ(Display(b, 1.0), "on");
  EXPECT_EQ(Display(b, 0.0, false, false), "0");
  EXPECT_EQ(Display(b, 1.0, false, false), "1");
  b.Set(0.5);  // on, as Bool() reads it
  EXPECT_TRUE(b.Bool());
  EXPECT_EQ(Display(b, 0.5), "on");
  EXPECT_EQ(Display(b, 0.49, false, false), "0");
  EXPECT_STREQ(b.GetLabelForHost(), "");  // a display text exists for the value

  IParam t;
  t.InitInt("t", 0, -5, 5, "Hz");
  t.SetDisplayText(0, "zero");
  t.SetDisplayText(0, "again");  // appended, first match wins
  t.SetDisplayText(2, "");
  EXPECT_EQ(Display(t, -0.7), "zero");  // truncation toward zero
  EXPECT_EQ(Display(t, 2.0), "2");      // an empty text falls back to the number
  EXPECT_EQ(t.GetNDisplayTexts(), 3);
  int v = -1;
  EXPECT_STREQ(t.GetDisplayTextAtIdx(1, &v), "again");
  EXPECT_EQ(v, 0);
  EXPECT_STREQ(t.GetDisplayTextAtIdx(3), "");
  EXPECT_STREQ(t.GetLabelForHost(), "");
  t.Set(1.0);
  EXPECT_STREQ(t.GetLabelForHost(), "Hz");

  v = 42;
  EXPECT_FALSE(t.MapDisplayText("Zero", &v));
  EXPECT_FALSE(t.MapDisplayText(nullptr, &v));
  EXPECT_EQ(v, 42);
  EXPECT_TRUE(t.MapDisplayText("again", &v));
  EXPECT_EQ(v, 0);
}

TEST(IParam, BoolInitAppendsItsTextsEachTime) {
  IParam b;
  b.InitBool("b", false);
  b.InitBool("b", true);
  EXPECT_EQ(b.GetNDisplayTexts(), 4);
  EXPECT_EQ(b.Value(), 1.0);
  EXPECT_EQ(b.GetDefault(), 1.0);
}

TEST(IParam, LongTextsAreCutToTheField) {
  std::string longName(100, 'n');
  IParam p;
  p.InitDouble(longName.c_str(), 0.0, 0.0, 1.0, 0.1, longName.c_str(), longName.c_str());
  EXPECT_EQ(std::strlen(p.GetNameForHost()), 31u);
  EXPECT_EQ(std::strlen(p.GetParamGroupForHost()), 31u);
  p.SetDisplayText(0, longName.c_str());
  EXPECT_EQ(std::string(p.GetDisplayText(0)), longName.substr(0, 31));

  IParam n;
  n.InitDouble(nullptr, 0.0, 0.0, 1.0, 0.1, nullptr, nullptr);
  EXPECT_STREQ(n.GetNameForHost(), "");
  EXPECT_STREQ(n.GetLabelForHost(), "");
}

TEST(IParam, SmoothedValueGlidesLinearlyFromWhereItStands) {
  ISmoothedValue v(1.0);
  v.Prepare(1000.0, 0.004);  // four frames
  v.SetTarget(0.0);
  std::vector<double> seen;
  for (int i = 0; i < 5; ++i) seen.push_back(v.Next());
  EXPECT_EQ(seen, (std::vector<double>{0.75, 0.5, 0.25, 0.0, 0.0}));
  v.SetTarget(2.0);  // per block
  EXPECT_EQ(v.Advance(2), 1.0);
  EXPECT_TRUE(v.IsGliding());
  EXPECT_EQ(v.Advance(9), 2.0);
  EXPECT_FALSE(v.IsGliding());
  v.SetTarget(4.0);
  v.Next();
  v.SetTarget(0.0);  // a new target mid-glide starts from 2.5
  EXPECT_EQ(v.Next(), 1.875);
  v.Jump(7.0);
  EXPECT_EQ(v.Next(), 7.0);
  v.Prepare(1000.0, 0.0);  // at least one frame
  v.SetTarget(3.0);
  EXPECT_EQ(v.Next(), 3.0);
}
