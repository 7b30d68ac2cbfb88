// The run's two charts as SVG, drawn once here for the report folder and the page alike:
// glyphs per second per text path on a logarithmic axis, and a sweep's frame time against
// glyphs per frame with its fitted lines. Self-contained: no fonts, scripts or links fetched.
#include "report_format.h"
#include "report_parts.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace report {

namespace {

const char kFont[] = "system-ui, 'Segoe UI', Tahoma, sans-serif";
const char kGrid[] = "#d5dbe3";
const char kMinorGrid[] = "#eef1f5";
const char* const kLineColours[] = {"#4477aa", "#cc6677", "#228833", "#aa7733", "#882255"};

std::string Xml(const std::string& text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      case '\'': out += "&#39;"; break;
      default: out += c;
    }
  }
  return out;
}

// A coordinate: one decimal is finer than a pixel.
std::string N(double v) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f", std::isfinite(v) ? v : 0.0);
  return text;
}

std::string Open(const char* id, double width, double height, const char* label) {
  return std::string("<svg xmlns=\"http://www.w3.org/2000/svg\" id=\"") + id + "\" width=\"" +
         N(width) + "\" height=\"" + N(height) + "\" viewBox=\"0 0 " + N(width) + " " + N(height) +
         "\" role=\"img\" aria-label=\"" + label + "\" font-family=\"" + kFont +
         "\" font-size=\"12\">\n<title>" + label + "</title>\n";
}

std::string Text(double x, double y, const std::string& text, const char* anchor = "start",
                 const std::string& extra = "") {
  return "<text x=\"" + N(x) + "\" y=\"" + N(y) + "\" text-anchor=\"" + anchor + "\"" + extra +
         ">" + Xml(text) + "</text>\n";
}

std::string Line(double x1, double y1, double x2, double y2, const std::string& attributes) {
  return "<line x1=\"" + N(x1) + "\" y1=\"" + N(y1) + "\" x2=\"" + N(x2) + "\" y2=\"" + N(y2) +
         "\" " + attributes + "/>\n";
}

std::string Shorter(const std::string& name, size_t characters) {
  size_t count = 0;
  for (size_t i = 0; i < name.size(); ++i) {
    if ((static_cast<unsigned char>(name[i]) & 0xC0) != 0x80 && ++count > characters)
      return name.substr(0, i) + "…";
  }
  return name;
}

// --- glyphs per second --------------------------------------------------------------------

struct GlyphBar {
  std::string name;
  const char* colour;
  double median, low, high;
};

std::string DecadeLabel(int e) {
  char text[32];
  if (e < -6 || e >= 15) {
    std::snprintf(text, sizeof text, "1e%d", e);
    return text;
  }
  if (e < 0) {
    std::snprintf(text, sizeof text, "%.*f", -e, std::pow(10.0, e));
    return text;
  }
  static const char* const kSuffixes[] = {"", "k", "M", "G", "T"};
  int group = std::min(e / 3, 4);
  return std::to_string(static_cast<long long>(std::pow(10.0, e - 3 * group) + 0.5)) +
         kSuffixes[group];
}

std::vector<GlyphBar> GlyphBars(const Json& results) {
  std::vector<GlyphBar> bars;
  for (const Json& p : Items(results, "paths")) {
    const Json& fps = ObjectAt(p, "fps");
    std::optional<double> glyphs = NumberAt(p, "glyphs_per_frame");
    std::optional<double> median = NumberAt(fps, "median");
    if (!FailureOf(p).empty() || !glyphs || !(*glyphs > 0) || !median || !(*median > 0) ||
        !std::isfinite(*glyphs * *median))
      continue;
    double low = NumberAt(fps, "low").value_or(0), high = NumberAt(fps, "high").value_or(0);
    std::string name = TextAt(p, "name").empty() ? TextAt(p, "key") : TextAt(p, "name");
    const char* colour = IsTrue(p, "capped")                           ? "#b9bec6"
                         : TextAt(p, "group").compare(0, 2, "2d") == 0 ? "#cc6677"
                                                                       : "#4477aa";
    GlyphBar b{name, colour, *median * *glyphs, std::max(low > 0 ? low : *median, 1e-9) * *glyphs,
               (high > 0 && std::isfinite(high) ? high : *median) * *glyphs};
    if (std::isfinite(b.low) && std::isfinite(b.high)) bars.push_back(b);
  }
  return bars;
}

}  // namespace

std::string GlyphChartSvg(const Json& results) {
  std::vector<GlyphBar> bars = GlyphBars(results);
  if (bars.empty()) return "";
  double least = bars[0].low, most = bars[0].high;
  for (const GlyphBar& b : bars) {
    least = std::min(least, b.low);
    most = std::max(most, std::max(b.high, b.median));
  }
  int lo = static_cast<int>(std::floor(std::log10(least)));
  int hi = std::max(static_cast<int>(std::ceil(std::log10(most))), lo + 1);
  lo = std::max(lo, hi - 12);  // a value gone wrong must not draw a thousand decades
  const double label = 270, width = 900, plot = width - label - 30, bar = 18, gap = 8, top = 34;
  const double height = top + bars.size() * (bar + gap) + 50, bottom = height - 34;
  auto x = [&](double v) {
    return label + plot * (std::log10(std::max(v, std::pow(10.0, lo))) - lo) / (hi - lo);
  };
  std::string svg = Open("glyph-chart", width, height, "glyphs per second per path");
  svg += Text(label, 18,
              "Glyphs per second per text path: bars to the median, whiskers the 95 % interval",
              "start", " font-weight=\"600\"");
  svg += "<g class=\"axis log\">\n";
  for (int e = lo; e < hi; ++e) {
    for (int m = 2; m <= 9; ++m) {
      double at = x(m * std::pow(10.0, e));
      svg += Line(at, top - 4, at, bottom,
                  std::string("class=\"minor\" stroke=\"") + kMinorGrid + "\"");
    }
  }
  for (int e = lo; e <= hi; ++e) {
    double at = x(std::pow(10.0, e));
    svg += Line(at, top - 4, at, bottom, std::string("class=\"decade\" stroke=\"") + kGrid + "\"");
    svg += Text(at, height - 18, DecadeLabel(e), "middle", " class=\"tick\"");
  }
  svg += "</g>\n";
  for (size_t i = 0; i < bars.size(); ++i) {
    const GlyphBar& b = bars[i];
    double y = top + i * (bar + gap), y0 = y + bar / 2, a = x(b.low), z = x(b.high);
    svg += "<g class=\"path\"><title>" + Xml(b.name) + ": " + Fixed(b.median, 0) +
           " glyphs per second [" + Fixed(b.low, 0) + "–" + Fixed(b.high, 0) + "]</title>\n";
    svg += Text(label - 8, y + bar - 5, Shorter(b.name, 40), "end");
    svg += "<rect class=\"bar\" x=\"" + N(label) + "\" y=\"" + N(y) + "\" width=\"" +
           N(std::max(x(b.median) - label, 1.0)) + "\" height=\"" + N(bar) + "\" fill=\"" +
           b.colour + "\"/>\n";
    svg += "<path class=\"whisker\" d=\"M" + N(a) + " " + N(y0) + "H" + N(z) + "M" + N(a) + " " +
           N(y0 - 5) + "V" + N(y0 + 5) + "M" + N(z) + " " + N(y0 - 5) + "V" + N(y0 + 5) +
           "\" stroke=\"#000\" fill=\"none\"/>\n</g>\n";
  }
  svg += Text(label + plot / 2, height - 3,
              "glyphs per second (log scale); red: 2D paths, blue: GL paths, grey: capped by the "
              "display",
              "middle");
  return svg + "</svg>\n";
}

namespace {

// --- the sweep ----------------------------------------------------------------------------

struct Point {
  double glyphs, median, low, high;
  std::string name, title;
};

std::vector<Point> Points(const Json& points, const std::string& line, bool products) {
  std::vector<Point> out;
  for (const Json& p : points) {
    const Json& ms = ObjectAt(p, "frame_ms");
    std::optional<double> glyphs = NumberAt(p, "glyphs_per_frame"), median = NumberAt(ms, "median");
    if (!glyphs || !median || !std::isfinite(*glyphs) || !std::isfinite(*median)) continue;
    std::string name = products ? TextAt(p, "name") : line;
    out.push_back(
        {*glyphs, *median, NumberAt(ms, "low").value_or(*median),
         NumberAt(ms, "high").value_or(*median), name,
         name + ": " + Fixed(glyphs, 0) + " glyphs per frame, " + IntervalText(ms, 2) + " ms"});
  }
  return out;
}

// Round steps (1, 2 or 5 times a power of ten) from 0 past `most`.
std::vector<double> Ticks(double most) {
  if (!(most > 0) || !std::isfinite(most)) most = 1;
  double raw = most / 5, magnitude = std::pow(10.0, std::floor(std::log10(raw)));
  double f = raw / magnitude;
  double step = (f <= 1 ? 1 : f <= 2 ? 2 : f <= 5 ? 5 : 10) * magnitude;
  std::vector<double> ticks;
  for (int i = 0; i <= 100 && (ticks.empty() || ticks.back() < most * (1 - 1e-9)); ++i)
    ticks.push_back(i * step);
  return ticks;
}

std::string TickLabel(double v, double step) {
  int decimals = step >= 1 ? 0 : static_cast<int>(std::ceil(-std::log10(step) - 1e-9));
  return Fixed(v, decimals);
}

struct Fit {
  std::string key, name;
  std::vector<Point> points, products;
  std::optional<double> fixed, nsPerGlyph, r2;
};

}  // namespace

std::string SweepChartSvg(const Json& results) {
  std::vector<Fit> fits;
  for (const Json& fit : Items(results, "sweep")) {
    Fit f{TextAt(fit, "path"),           TextAt(fit, "name"), {}, {}, NumberAt(fit, "fixed_ms"),
          NumberAt(fit, "ns_per_glyph"), NumberAt(fit, "r2")};
    f.points = Points(Items(fit, "points"), f.name, false);
    f.products = Points(Items(fit, "products"), f.name, true);
    if (!f.points.empty()) fits.push_back(f);
  }
  if (fits.empty()) return "";
  double xmost = 0, ymost = 0;
  size_t legend = 0;
  for (const Fit& f : fits) {
    for (const auto* list : {&f.points, &f.products}) {
      for (const Point& p : *list) {
        xmost = std::max(xmost, p.glyphs);
        ymost = std::max(ymost, std::max(p.high, p.median));
      }
    }
    legend += f.products.empty() ? 1 : 2;
  }
  std::vector<double> xt = Ticks(xmost), yt = Ticks(ymost);
  const double left = 70, width = 900, plotW = width - left - 24, top = 40, plotH = 400;
  const double height = top + plotH + 54 + 18 * legend;
  const double xMax = xt.back(), yMax = yt.back();
  auto X = [&](double v) { return left + plotW * v / xMax; };
  auto Y = [&](double v) { return top + plotH - plotH * v / yMax; };
  std::string svg = Open("sweep-chart", width, height, "frame time against glyphs per frame");
  svg += Text(left, 20,
              "Frame time against glyphs per frame: medians with their 95 % intervals, fitted "
              "lines dashed, products as squares",
              "start", " font-weight=\"600\"");
  svg += "<g class=\"axis\">\n";
  for (double v : xt) {
    svg += Line(X(v), top, X(v), top + plotH, std::string("stroke=\"") + kGrid + "\"");
    svg += Text(X(v), top + plotH + 16, TickLabel(v, xt[1]), "middle");
  }
  for (double v : yt) {
    svg += Line(left, Y(v), left + plotW, Y(v), std::string("stroke=\"") + kGrid + "\"");
    svg += Text(left - 6, Y(v) + 4, TickLabel(v, yt[1]), "end");
  }
  svg += Text(left + plotW / 2, top + plotH + 34, "glyphs per frame", "middle");
  svg += Text(16, top + plotH / 2, "ms per frame", "middle",
              " transform=\"rotate(-90 16 " + N(top + plotH / 2) + ")\"");
  svg += "</g>\n";
  double legendY = top + plotH + 58;
  for (size_t i = 0; i < fits.size(); ++i) {
    const Fit& f = fits[i];
    std::string colour = kLineColours[i % 5];
    svg += "<g class=\"sweep-line\" data-path=\"" + Xml(f.key) + "\">\n";
    if (f.fixed && f.nsPerGlyph) {
      // The fitted line over the x axis, cut where it leaves the plot.
      double a = *f.fixed, s = *f.nsPerGlyph / 1e6, x0 = 0, x1 = xMax;
      if (s != 0) {
        double atZero = -a / s, atTop = (yMax - a) / s;
        x0 = std::max(x0, std::min(atZero, atTop));
        x1 = std::min(x1, std::max(atZero, atTop));
      } else if (a < 0 || a > yMax) {
        x1 = x0 - 1;
      }
      if (x1 > x0) {
        svg += Line(X(x0), Y(a + s * x0), X(x1), Y(a + s * x1),
                    "class=\"fit\" stroke=\"" + colour + "\" stroke-dasharray=\"6 4\"");
      }
    }
    for (const auto* list : {&f.points, &f.products}) {
      bool product = list == &f.products;
      for (const Point& p : *list) {
        double x = X(p.glyphs), y = Y(p.median), lo = Y(p.low), hi = Y(p.high);
        svg += "<g><title>" + Xml(p.title) + "</title><path class=\"whisker\" d=\"M" + N(x) + " " +
               N(lo) + "V" + N(hi) + "M" + N(x - 4) + " " + N(lo) + "H" + N(x + 4) + "M" +
               N(x - 4) + " " + N(hi) + "H" + N(x + 4) + "\" stroke=\"" + colour +
               "\" fill=\"none\"/>";
        svg += product ? "<path class=\"product\" d=\"M" + N(x - 5) + " " + N(y - 5) +
                             "h10v10h-10z\" fill=\"" + colour + "\"/>"
                       : "<circle class=\"point\" cx=\"" + N(x) + "\" cy=\"" + N(y) +
                             "\" r=\"3.5\" fill=\"" + colour + "\"/>";
        svg += "</g>\n";
      }
    }
    std::string fitted = f.fixed && f.nsPerGlyph
                             ? ", fit: " + Fixed(f.fixed, 2) + " ms + " + Fixed(f.nsPerGlyph, 1) +
                                   " ns/glyph, R² " + Fixed(f.r2, 3)
                             : ", no fit";
    svg += "<circle cx=\"" + N(left + 5) + "\" cy=\"" + N(legendY - 4) + "\" r=\"3.5\" fill=\"" +
           colour + "\"/>\n" + Text(left + 16, legendY, f.name + fitted);
    legendY += 18;
    if (!f.products.empty()) {
      std::string names;
      for (const Point& p : f.products) names += (names.empty() ? "" : ", ") + p.name;
      svg += "<path d=\"M" + N(left) + " " + N(legendY - 9) + "h10v10h-10z\" fill=\"" + colour +
             "\"/>\n" + Text(left + 16, legendY, names + " (products)");
      legendY += 18;
    }
    svg += "</g>\n";
  }
  return svg + "</svg>\n";
}

}  // namespace report
