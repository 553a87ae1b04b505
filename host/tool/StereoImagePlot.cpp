#include "StereoImagePlot.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "raster/Raster.h"
#include "tools/png/PngWriter.h"

namespace {

constexpr RAS_pixel kPaper = RAS_RGBA(24, 28, 36, 255);
constexpr RAS_pixel kPanel = RAS_RGBA(12, 14, 19, 255);
constexpr RAS_pixel kGuide = RAS_RGBA(58, 64, 78, 255);
constexpr RAS_pixel kZero = RAS_RGBA(110, 116, 130, 255);
constexpr RAS_pixel kText = RAS_RGBA(226, 230, 238, 255);
constexpr RAS_pixel kDim = RAS_RGBA(150, 156, 170, 255);
constexpr RAS_pixel kNegative = RAS_RGBA(90, 30, 34, 255);
constexpr RAS_pixel kWarning = RAS_RGBA(255, 96, 96, 255);
// Input and output keep their colours everywhere: titles, figures and traces.
constexpr RAS_pixel kSeriesColour[2] = {RAS_RGBA(110, 170, 255, 255), RAS_RGBA(255, 160, 60, 255)};
const char* const kSeriesName[2] = {"Input", "Output"};

// Width traces cover this range; wider or narrower windows sit on the edge.
constexpr double kWidthTopDb = 10, kWidthBottomDb = -30;

StereoPlotLayout MakeLayout() {
  StereoPlotLayout l;
  constexpr int side = StereoDensity::kCells, top = 96;
  l.scopes[0] = {30, top, 30 + side, top + side};
  l.scopes[1] = {410, top, 410 + side, top + side};
  l.figures = {790, top, 1180, top + side};
  l.correlation = {90, 492, 1170, 568};
  l.width = {90, 602, 1170, 668};
  return l;
}

class Fonts {
 public:
  Fonts() {
    Make(mTitle, 19, 700);
    Make(mBody, 13, 400);
    Make(mBold, 13, 700);
    Make(mSmall, 11, 400);
  }
  RAS_CachedFont& Title() { return mTitle; }
  RAS_CachedFont& Body() { return mBody; }
  RAS_CachedFont& Bold() { return mBold; }
  RAS_CachedFont& Small() { return mSmall; }

 private:
  static void Make(RAS_CachedFont& font, int size, int weight) {
    font.SetFromHFont(CreateFont(-size, 0, 0, 0, weight, 0, 0, 0, 0, 0, 0, 4, 0, "DejaVu Sans"),
                      RAS_FONT_FLAG_OWNS_HFONT);
  }
  RAS_CachedFont mTitle, mBody, mBold, mSmall;
};

void Text(RAS_IBitmap* bm, RAS_CachedFont& font, const std::string& text, RAS_pixel colour, RECT r,
          unsigned flags = 0) {
  font.SetTextColor(colour);
  font.DrawText(bm, text.c_str(), -1, &r, flags | DT_SINGLELINE | DT_NOPREFIX);
}

void Frame(RAS_IBitmap* bm, const RECT& r, RAS_pixel colour) {
  const int w = r.right - r.left, h = r.bottom - r.top;
  RAS_FillRect(bm, r.left - 1, r.top - 1, w + 2, 1, colour, 1, BLIT_COPY);
  RAS_FillRect(bm, r.left - 1, r.bottom, w + 2, 1, colour, 1, BLIT_COPY);
  RAS_FillRect(bm, r.left - 1, r.top, 1, h, colour, 1, BLIT_COPY);
  RAS_FillRect(bm, r.right, r.top, 1, h, colour, 1, BLIT_COPY);
}

std::string Format(const char* format, double value) {
  char text[64];
  snprintf(text, sizeof(text), format, value);
  return text;
}

// Density to colour: single hits stay visible, the densest cell is near white. Counts go
// through a logarithm, because a goniometer's centre is thousands of times denser than its rim.
RAS_pixel Ink(uint32_t count, double logMax) {
  const double t = 0.2 + 0.8 * std::log1p(double(count)) / logMax;
  auto channel = [t](double dark, double mid, double bright) {
    const double v =
        t < 0.6 ? dark + (mid - dark) * t / 0.6 : mid + (bright - mid) * (t - 0.6) / 0.4;
    return int(std::clamp(v, 0.0, 255.0));
  };
  return RAS_RGBA(channel(20, 60, 255), channel(70, 220, 250), channel(60, 120, 210), 255);
}

// Axis names inside the square, so that neighbouring goniometers keep theirs apart; drawn over
// the ink so that they stay legible.
void ScopeLabels(RAS_IBitmap* bm, Fonts& fonts, const RECT& r) {
  const int cx = (r.left + r.right) / 2, cy = (r.top + r.bottom) / 2;
  Text(bm, fonts.Small(), "M", kDim, {cx + 5, r.top + 3, cx + 30, r.top + 17});
  Text(bm, fonts.Small(), "L", kDim, {r.left + 14, r.top + 3, r.left + 30, r.top + 17});
  Text(bm, fonts.Small(), "R", kDim, {r.right - 30, r.top + 3, r.right - 14, r.top + 17}, DT_RIGHT);
  Text(bm, fonts.Small(), "+S", kDim, {r.left + 4, cy - 17, r.left + 30, cy - 3});
  Text(bm, fonts.Small(), "-S", kDim, {r.right - 30, cy - 17, r.right - 4, cy - 3}, DT_RIGHT);
}

void DrawScope(RAS_IBitmap* bm, Fonts& fonts, const RECT& r, int index,
               const StereoDensity* density, double span) {
  const int size = r.right - r.left, centre = size / 2;
  RAS_FillRect(bm, r.left, r.top, size, size, kPanel, 1, BLIT_COPY);
  Frame(bm, r, kGuide);
  const int cx = r.left + centre, cy = r.top + centre;
  RAS_Line(bm, r.left, r.top, r.right - 1, r.bottom - 1, kGuide, 1, BLIT_COPY, false);
  RAS_Line(bm, r.right - 1, r.top, r.left, r.bottom - 1, kGuide, 1, BLIT_COPY, false);
  RAS_Line(bm, r.left, cy, r.right - 1, cy, kGuide, 1, BLIT_COPY, false);
  RAS_Line(bm, cx, r.top, cx, r.bottom - 1, kGuide, 1, BLIT_COPY, false);
  RAS_Circle(bm, float(cx), float(cy), float(centre) * 0.5f, kGuide, 1, BLIT_COPY, true);
  Text(bm, fonts.Bold(), kSeriesName[index], kSeriesColour[index],
       {r.left, r.top - 26, r.right, r.top - 8}, DT_CENTER);
  if (!density) {
    Text(bm, fonts.Body(), "no output measured", kDim, {r.left, cy + 20, r.right, cy + 40},
         DT_CENTER);
    ScopeLabels(bm, fonts, r);
    return;
  }
  Text(bm, fonts.Small(), "edge: " + Format("%.1f dBFS", 20 * std::log10(span)), kDim,
       {r.left, r.bottom + 4, r.right, r.bottom + 18}, DT_CENTER);
  // Both goniometers on the larger span, so their sizes compare.
  StereoDensity common = *density;
  common.GrowTo(span);
  const double logMax = std::log1p(double(common.MaxCount()));
  RAS_pixel* bits = bm->getBits();
  const int rowSpan = bm->getRowSpan();
  for (int row = 0; row < size; ++row)
    for (int column = 0; column < size; ++column)
      if (const uint32_t count = common.Count(column, row))
        bits[size_t(r.top + row) * size_t(rowSpan) + size_t(r.left + column)] = Ink(count, logMax);
  ScopeLabels(bm, fonts, r);
}

void DrawFigures(RAS_IBitmap* bm, Fonts& fonts, const RECT& r, const StereoImageFigures* f[2]) {
  RAS_FillRect(bm, r.left, r.top, r.right - r.left, r.bottom - r.top, kPanel, 1, BLIT_COPY);
  Frame(bm, r, kGuide);
  const int label = r.left + 14, columns[2] = {r.left + 188, r.left + 290};
  int y = r.top + 12;
  for (int i = 0; i < 2; ++i)
    if (f[i])
      Text(bm, fonts.Bold(), kSeriesName[i], kSeriesColour[i],
           {columns[i], y, columns[i] + 96, y + 18});
  y += 28;
  for (const StereoFigureLine& row : StereoHeadlineFigures()) {
    Text(bm, fonts.Body(), row.name, kDim, {label, y, columns[0] - 8, y + 18});
    for (int i = 0; i < 2; ++i)
      if (f[i])
        Text(bm, fonts.Bold(), row.text(*f[i]), kText, {columns[i], y, columns[i] + 100, y + 18});
    y += 25;
  }
  y += 10;
  RAS_FillRect(bm, label, y, r.right - r.left - 28, 1, kGuide, 1, BLIT_COPY);
  y += 12;
  Text(bm, fonts.Small(), "Levels, dBFS (peak / RMS)", kDim, {label, y, r.right - 8, y + 16});
  y += 22;
  const char* names[4] = {"Left", "Right", "Mid", "Side"};
  for (int k = 0; k < 4; ++k) {
    Text(bm, fonts.Body(), names[k], kDim, {label, y, columns[0] - 8, y + 18});
    for (int i = 0; i < 2; ++i) {
      if (!f[i]) continue;
      const StereoLevel levels[4] = {f[i]->left, f[i]->right, f[i]->mid, f[i]->side};
      Text(bm, fonts.Body(), StereoLevelText(levels[k]), kText,
           {columns[i], y, columns[i] + 100, y + 18});
    }
    y += 22;
  }
}

// A series' value at each point: correlation, or width in dB; NaN leaves a gap.
using SeriesValue = double (*)(const StereoSums&);

int ValueToY(const RECT& r, double value, double top, double bottom) {
  const double t = (top - std::clamp(value, bottom, top)) / (top - bottom);
  return r.top + int(std::lround(t * (r.bottom - 1 - r.top)));
}

// Steps: each point holds its value across the time it covers.
void DrawTrace(RAS_IBitmap* bm, const RECT& r, const StereoImageMeter& meter, uint64_t frames,
               SeriesValue value, double top, double bottom, RAS_pixel colour) {
  uint64_t at = 0;
  int lastY = -1;
  const double xScale = double(r.right - 1 - r.left) / double(std::max<uint64_t>(frames, 1));
  for (const StereoSums& point : meter.Series()) {
    const int x0 = r.left + int(at * xScale);
    at += point.frames;
    const int x1 = r.left + int(std::min(at, frames) * xScale);
    const double v = point.Silent() ? NAN : value(point);
    if (std::isnan(v)) {
      lastY = -1;
      continue;
    }
    const int y = ValueToY(r, v, top, bottom);
    if (lastY >= 0) RAS_Line(bm, x0, lastY, x0, y, colour, 1, BLIT_COPY, false);
    RAS_Line(bm, x0, y, std::max(x0, x1), y, colour, 1, BLIT_COPY, false);
    RAS_Line(bm, x0, y + 1, std::max(x0, x1), y + 1, colour, 0.5f, BLIT_COPY, false);
    lastY = y;
  }
}

// Seconds between time ticks, about eight across: 1, 2 or 5 times a power of ten, or whole
// minutes once the file runs for minutes.
double TickStep(double seconds) {
  const double rough = std::max(seconds, 1e-3) / 8;
  if (rough >= 30)
    for (double step : {30.0, 60.0, 120.0, 300.0, 600.0, 900.0, 1800.0, 3600.0})
      if (step >= rough) return step;
  const double power = std::pow(10, std::floor(std::log10(rough)));
  for (double m : {1.0, 2.0, 5.0})
    if (m * power >= rough) return m * power;
  return 10 * power;
}

// "0.25 s", "40 s", or "12:30" for minutes.
std::string TimeLabel(double t, double step) {
  if (step >= 30) {
    const long total = std::lround(t);
    char text[32];
    if (total >= 3600)
      snprintf(text, sizeof(text), "%ld:%02ld:%02ld", total / 3600, total / 60 % 60, total % 60);
    else
      snprintf(text, sizeof(text), "%ld:%02ld", total / 60, total % 60);
    return text;
  }
  const int decimals = std::max(0, int(-std::floor(std::log10(step) + 1e-9)));
  char text[32];
  snprintf(text, sizeof(text), "%.*f s", decimals, t);
  return text;
}

void DrawGraph(RAS_IBitmap* bm, Fonts& fonts, const RECT& r, const char* title,
               const std::vector<std::pair<double, std::string>>& gridLines, double top,
               double bottom, const StereoImageMeter* meters[2], SeriesValue value,
               bool shadeNegative) {
  RAS_FillRect(bm, r.left, r.top, r.right - r.left, r.bottom - r.top, kPanel, 1, BLIT_COPY);
  if (shadeNegative) {
    const int zero = ValueToY(r, 0, top, bottom);
    RAS_FillRect(bm, r.left, zero, r.right - r.left, r.bottom - zero, kNegative, 0.45f, BLIT_COPY);
  }
  Frame(bm, r, kGuide);
  Text(bm, fonts.Bold(), title, kText, {r.left, r.top - 22, r.right, r.top - 4});
  // A legend at the right end of the title line.
  for (int i = 1; i >= 0; --i) {
    if (!meters[i]) continue;
    const int x = r.right - (i ? 80 : 170);
    RAS_FillRect(bm, x, r.top - 13, 18, 2, kSeriesColour[i], 1, BLIT_COPY);
    Text(bm, fonts.Body(), kSeriesName[i], kSeriesColour[i],
         {x + 24, r.top - 22, x + 90, r.top - 4});
  }
  for (const auto& [v, label] : gridLines) {
    const int y = ValueToY(r, v, top, bottom);
    RAS_Line(bm, r.left, y, r.right - 1, y, v == 0 ? kZero : kGuide, 1, BLIT_COPY, false);
    Text(bm, fonts.Small(), label, kDim, {r.left - 84, y - 7, r.left - 6, y + 8}, DT_RIGHT);
  }
  const uint64_t frames = meters[0]->Figures().frames;
  for (int i = 0; i < 2; ++i)
    if (meters[i]) DrawTrace(bm, r, *meters[i], frames, value, top, bottom, kSeriesColour[i]);
}

void DrawTimeAxis(RAS_IBitmap* bm, Fonts& fonts, const RECT& r, double seconds) {
  const double step = TickStep(seconds);
  const double xScale = double(r.right - 1 - r.left) / std::max(seconds, 1e-9);
  for (int tick = 0; tick * step <= seconds * (1 + 1e-9); ++tick) {
    const double t = tick * step;
    const int x = r.left + int(std::lround(t * xScale));
    RAS_Line(bm, x, r.bottom, x, r.bottom + 4, kDim, 1, BLIT_COPY, false);
    Text(bm, fonts.Small(), TimeLabel(t, step), kDim, {x - 40, r.bottom + 6, x + 40, r.bottom + 20},
         DT_CENTER);
  }
}

std::string Subtitle(const StereoImageSubject& subject, const StereoImageFigures& f,
                     bool withOutput) {
  std::string text = Format("%.0f Hz, ", subject.sampleRate) + Format("%.2f s", f.seconds);
  text += withOutput ? ";  output rendered with " + subject.settings : ";  input only";
  return text;
}

}  // namespace

const StereoPlotLayout& StereoPlotGeometry() {
  static const StereoPlotLayout layout = MakeLayout();
  return layout;
}

void DrawStereoImagePlot(RAS_IBitmap* bm, const StereoImageSubject& subject,
                         const StereoImageMeter& input, const StereoImageMeter* output) {
  const StereoPlotLayout& l = StereoPlotGeometry();
  bm->resize(StereoPlotLayout::kWidth, StereoPlotLayout::kHeight);
  RAS_Clear(bm, kPaper);
  Fonts fonts;
  const StereoImageFigures inputFigures = input.Figures();
  StereoImageFigures outputFigures;
  if (output) outputFigures = output->Figures();
  std::string name = subject.file.substr(subject.file.find_last_of('/') + 1);
  Text(bm, fonts.Title(), "Stereo image of " + name, kText, {30, 12, 1180, 36});
  Text(bm, fonts.Body(), Subtitle(subject, inputFigures, output != nullptr), kDim,
       {30, 36, 1180, 54});
  Text(bm, fonts.Body(), subject.warning, kWarning, {30, 55, 1180, 73});

  const double span = std::max(input.Density().Span(), output ? output->Density().Span() : 0.0);
  DrawScope(bm, fonts, l.scopes[0], 0, &input.Density(), span);
  DrawScope(bm, fonts, l.scopes[1], 1, output ? &output->Density() : nullptr, span);
  const StereoImageFigures* figures[2] = {&inputFigures, output ? &outputFigures : nullptr};
  DrawFigures(bm, fonts, l.figures, figures);

  const StereoImageMeter* meters[2] = {&input, output};
  DrawGraph(
      bm, fonts, l.correlation, "Correlation L/R over time (300 ms windows)",
      {{1, "+1"}, {0.5, "+0.5"}, {0, "0"}, {-0.5, "-0.5"}, {-1, "-1"}}, 1, -1, meters,
      [](const StereoSums& s) { return s.Correlation(); }, true);
  DrawGraph(
      bm, fonts, l.width, "Width: side / mid over time",
      {{10, "+10 dB"}, {0, "0 dB"}, {-10, "-10 dB"}, {-20, "-20 dB"}, {-30, "-30 / mono"}},
      kWidthTopDb, kWidthBottomDb, meters, [](const StereoSums& s) { return s.SideToMidDb(); },
      false);
  DrawTimeAxis(bm, fonts, l.width, inputFigures.seconds);
}

bool WriteStereoImagePlot(const std::string& path, const StereoImageSubject& subject,
                          const StereoImageMeter& input, const StereoImageMeter* output,
                          std::string* error) {
  RAS_MemBitmap picture;
  DrawStereoImagePlot(&picture, subject, input, output);
  return WritePng(&picture, path.c_str(), PngWriteOptions{false, kPngDefaultCompression}, error);
}
