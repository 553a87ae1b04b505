#include "StereoImageReport.h"

#include <cmath>
#include <cstdint>
#include <cstdio>

namespace {

std::string Format(const char* format, double value) {
  char text[64];
  snprintf(text, sizeof(text), format, value);
  // A value that rounds to zero reads "0.0", not "-0.0".
  std::string result = text;
  if (result[0] == '-' && result.find_first_of("123456789") == std::string::npos) {
    if (std::string(format).find('+') != std::string::npos)
      result[0] = '+';
    else
      result.erase(0, 1);
  }
  return result;
}

std::string Dbfs(double linear) {
  return linear > 0 ? Format("%.1f", 20 * std::log10(linear)) : std::string("-inf");
}

std::string LevelText(const StereoLevel& level) {
  const std::string text = StereoLevelText(level);
  return level.peak == 0 ? text : text + " dBFS";
}

std::string SignedOrSilent(double value, const char* format) {
  return std::isnan(value) ? std::string("silent") : Format(format, value);
}

std::string MonoSumText(const StereoImageFigures& f) {
  if (f.kind == StereoImageKind::kSilent) return "silent";
  if (std::isinf(f.monoSumChangeDb)) return "cancels";
  return Format("%+.1f dB", f.monoSumChangeDb);
}

std::string BalanceText(const StereoImageFigures& f) {
  if (f.kind == StereoImageKind::kSilent) return "silent";
  if (std::isinf(f.balanceDb)) return f.balanceDb > 0 ? "left only" : "right only";
  return Format("%+.1f dB", f.balanceDb);
}

// A JSON number, or null for what has none.
std::string JsonNumber(double value) {
  return std::isfinite(value) ? Format("%.6g", value) : std::string("null");
}

// The length of the well-formed UTF-8 sequence at `at`, or 0 for a byte that starts none.
size_t Utf8Length(const std::string& text, size_t at) {
  const unsigned char lead = static_cast<unsigned char>(text[at]);
  if (lead < 0x80) return 1;
  const size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 0;
  if (!length || lead > 0xF4 || at + length > text.size()) return 0;
  uint32_t code = lead & (0x7F >> length);
  for (size_t k = 1; k < length; ++k) {
    const unsigned char next = static_cast<unsigned char>(text[at + k]);
    if ((next & 0xC0) != 0x80) return 0;
    code = code << 6 | (next & 0x3F);
  }
  // Overlong forms, surrogates and code points past U+10FFFF are no UTF-8.
  constexpr uint32_t kShortest[5] = {0, 0, 0x80, 0x800, 0x10000};
  if (code < kShortest[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
  return length;
}

// A JSON string. A file name is bytes, not always UTF-8: a byte that is not stands as U+FFFD.
std::string JsonText(const std::string& text) {
  std::string quoted = "\"";
  for (size_t at = 0; at < text.size(); ++at) {
    const unsigned char c = static_cast<unsigned char>(text[at]);
    if (c >= 0x80) {
      const size_t length = Utf8Length(text, at);
      quoted += length ? text.substr(at, length) : "\\ufffd";
      at += length ? length - 1 : 0;
    } else if (c == '"' || c == '\\') {
      quoted += '\\';
      quoted += char(c);
    } else if (c < 0x20) {
      char escape[8];
      snprintf(escape, sizeof(escape), "\\u%04x", c);
      quoted += escape;
    } else {
      quoted += char(c);
    }
  }
  return quoted + "\"";
}

std::string JsonLevel(const StereoLevel& level) {
  return "{\"peak\": " + JsonNumber(level.peak) + ", \"rms\": " + JsonNumber(level.rms) + "}";
}

std::string JsonFigures(const StereoImageFigures& f) {
  return "{\"frames\": " + std::to_string(f.frames) + ", \"seconds\": " + JsonNumber(f.seconds) +
         ", \"non_finite_samples\": " + std::to_string(f.nonFinite) +
         ", \"beyond_float_range_samples\": " + std::to_string(f.beyondFloat) +
         ", \"left\": " + JsonLevel(f.left) + ", \"right\": " + JsonLevel(f.right) +
         ", \"mid\": " + JsonLevel(f.mid) + ", \"side\": " + JsonLevel(f.side) +
         ", \"image\": " + JsonText(StereoImageKindName(f.kind)) +
         ", \"side_to_mid_db\": " + JsonNumber(f.sideToMidDb) +
         ", \"correlation\": " + JsonNumber(f.correlation) +
         ", \"lowest_window_correlation\": " + JsonNumber(f.lowestCorrelation) +
         ", \"negative_correlation_share\": " + JsonNumber(f.negativeShare) +
         ", \"mono_sum_change_db\": " + JsonNumber(f.monoSumChangeDb) +
         ", \"balance_db\": " + JsonNumber(f.balanceDb) + "}";
}

}  // namespace

std::string NonFiniteText(uint64_t nonFinite, uint64_t beyondFloat) {
  const uint64_t others = nonFinite > beyondFloat ? nonFinite - beyondFloat : 0;
  std::string text = others ? std::to_string(others) + " samples NaN or infinite" : "";
  if (beyondFloat)
    text += (text.empty() ? "" : " and ") + std::to_string(beyondFloat) +
            " samples beyond the 32-bit float range";
  return text;
}

std::string StereoWidthText(const StereoImageFigures& f) {
  if (f.kind != StereoImageKind::kStereo) return StereoImageKindName(f.kind);
  return Format("%+.1f dB", f.sideToMidDb);
}

std::string StereoLevelText(const StereoLevel& level) {
  if (level.peak == 0) return "silent";
  return Dbfs(level.peak) + " / " + Dbfs(level.rms);
}

const std::vector<StereoFigureLine>& StereoHeadlineFigures() {
  static const std::vector<StereoFigureLine> lines = {
      {"Width (side/mid)", StereoWidthText},
      {"Correlation",
       [](const StereoImageFigures& f) { return SignedOrSilent(f.correlation, "%+.3f"); }},
      {"Lowest, 300 ms",
       [](const StereoImageFigures& f) { return SignedOrSilent(f.lowestCorrelation, "%+.3f"); }},
      {"Time negative",
       [](const StereoImageFigures& f) { return Format("%.1f %%", 100 * f.negativeShare); }},
      {"Mono sum change", MonoSumText},
      {"Balance (L/R)", BalanceText},
  };
  return lines;
}

std::string StereoImageTable(const StereoImageSubject& subject, const StereoImageFigures& input,
                             const StereoImageFigures* output) {
  std::vector<StereoFigureLine> rows = {
      {"Left peak / RMS", [](const StereoImageFigures& f) { return LevelText(f.left); }},
      {"Right peak / RMS", [](const StereoImageFigures& f) { return LevelText(f.right); }},
      {"Mid peak / RMS", [](const StereoImageFigures& f) { return LevelText(f.mid); }},
      {"Side peak / RMS", [](const StereoImageFigures& f) { return LevelText(f.side); }},
  };
  rows.insert(rows.end(), StereoHeadlineFigures().begin(), StereoHeadlineFigures().end());
  std::string table = subject.file + ": " + Format("%.0f Hz, ", subject.sampleRate) +
                      std::to_string(input.frames) + " frames, " +
                      Format("%.2f s\n", input.seconds);
  if (output) table += "output with " + subject.settings + "\n";
  char line[160];
  snprintf(line, sizeof(line), "  %-18s %-24s%s\n", "", "input", output ? "output" : "");
  table += line;
  for (const StereoFigureLine& row : rows) {
    snprintf(line, sizeof(line), "  %-18s %-24s%s\n", row.name, row.text(input).c_str(),
             output ? row.text(*output).c_str() : "");
    table += line;
  }
  const uint64_t nonFinite = input.nonFinite + (output ? output->nonFinite : 0);
  if (nonFinite) table += "  " + NonFiniteText(nonFinite, input.beyondFloat) + "; measured as 0\n";
  return table;
}

std::string StereoImageJson(const StereoImageSubject& subject, const StereoImageFigures& input,
                            const StereoImageFigures* output) {
  return "{\"file\": " + JsonText(subject.file) +
         ", \"sample_rate\": " + JsonNumber(subject.sampleRate) +
         ", \"settings\": " + (output ? JsonText(subject.settings) : std::string("null")) +
         ", \"input\": " + JsonFigures(input) +
         ", \"output\": " + (output ? JsonFigures(*output) : std::string("null")) + "}\n";
}
