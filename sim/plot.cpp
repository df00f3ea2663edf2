#include "sim/plot.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <sstream>

#include "simulation/theory.h"

namespace mokopera::sim {

namespace {

// The plot area of both figures and its mapping from data to SVG coordinates.
struct Frame {
    static constexpr double kWidth = 720, kHeight = 480;
    static constexpr double kLeft = 80, kRight = 690, kTop = 50, kBottom = 410;
    double xMin, xMax, yMin, yMax;
    bool logX;

    double X(double x) const
    {
        const double t = logX ? (std::log10(x) - std::log10(xMin)) / (std::log10(xMax) - std::log10(xMin))
                              : (x - xMin) / (xMax - xMin);
        return kLeft + t * (kRight - kLeft);
    }
    double Y(double y) const { return kBottom - (y - yMin) / (yMax - yMin) * (kBottom - kTop); }
};

std::string SvgStart(const std::string& title)
{
    std::ostringstream svg;
    svg << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << Frame::kWidth << "\" height=\"" << Frame::kHeight
        << "\" viewBox=\"0 0 " << Frame::kWidth << ' ' << Frame::kHeight << "\" "
        << "font-family=\"IPAPGothic, 'IPA Pゴシック', 'Noto Sans CJK JP', sans-serif\" font-size=\"13\">\n"
        << "<rect width=\"100%\" height=\"100%\" fill=\"white\"/>\n"
        << "<text x=\"" << Frame::kWidth / 2 << "\" y=\"28\" text-anchor=\"middle\" font-size=\"17\">" << title
        << "</text>\n";
    return svg.str();
}

// Axes with ticks and labels; `xTicks` are data values.
std::string Axes(const Frame& frame, const std::vector<double>& xTicks, const std::string& xLabel,
                 const std::string& yLabel)
{
    std::ostringstream svg;
    svg << "<g stroke=\"#000\" fill=\"none\"><rect x=\"" << Frame::kLeft << "\" y=\"" << Frame::kTop << "\" width=\""
        << Frame::kRight - Frame::kLeft << "\" height=\"" << Frame::kBottom - Frame::kTop << "\"/></g>\n";
    for (double x : xTicks)
        svg << "<line x1=\"" << frame.X(x) << "\" y1=\"" << Frame::kBottom << "\" x2=\"" << frame.X(x) << "\" y2=\""
            << Frame::kBottom + 5 << "\" stroke=\"#000\"/><text x=\"" << frame.X(x) << "\" y=\"" << Frame::kBottom + 20
            << "\" text-anchor=\"middle\">" << (x == std::floor(x) ? Fixed(x, 0) : Fixed(x, 1)) << "</text>\n";
    const double step = (frame.yMax - frame.yMin) <= 0.3 ? 0.05 : 0.1;
    for (double y = std::ceil(frame.yMin / step - 1e-9) * step; y <= frame.yMax + 1e-9; y += step)
        svg << "<line x1=\"" << Frame::kLeft - 5 << "\" y1=\"" << frame.Y(y) << "\" x2=\"" << Frame::kRight
            << "\" y2=\"" << frame.Y(y) << "\" stroke=\"#ddd\"/><text x=\"" << Frame::kLeft - 8 << "\" y=\""
            << frame.Y(y) + 4 << "\" text-anchor=\"end\">" << Fixed(std::fabs(y) < 1e-9 ? 0.0 : y, 2) << "</text>\n";
    svg << "<text x=\"" << (Frame::kLeft + Frame::kRight) / 2 << "\" y=\"" << Frame::kHeight - 22
        << "\" text-anchor=\"middle\">" << xLabel << "</text>\n"
        << "<text transform=\"translate(22 " << (Frame::kTop + Frame::kBottom) / 2
        << ") rotate(-90)\" text-anchor=\"middle\">" << yLabel << "</text>\n";
    return svg.str();
}

// The band of ±`k` standard errors around `p`, p ± k·sqrt(p(1−p)/n) for n along the log axis,
// drawn as one closed outline; it narrows as the experiments grow.
std::string Band(const Frame& frame, double p, double k, const char* fill)
{
    std::ostringstream upper, lower;
    for (int i = 0; i <= 120; ++i) {
        const double n = std::pow(frame.xMax, i / 120.0), back = std::pow(frame.xMax, (120 - i) / 120.0);
        upper << (i ? " L" : "M") << frame.X(n) << ',' << frame.Y(std::min(1.0, p + k * StandardError(p, n)));
        lower << " L" << frame.X(back) << ',' << frame.Y(std::max(0.0, p - k * StandardError(p, back)));
    }
    return "<path d=\"" + upper.str() + lower.str() + " Z\" fill=\"" + fill + "\" stroke=\"none\"/>\n";
}

std::string TheoryLine(const Frame& frame, double p)
{
    std::ostringstream svg;
    svg << "<line x1=\"" << Frame::kLeft << "\" y1=\"" << frame.Y(p) << "\" x2=\"" << Frame::kRight << "\" y2=\""
        << frame.Y(p) << "\" stroke=\"#d00\" stroke-width=\"1.5\" stroke-dasharray=\"6 4\"/>\n";
    return svg.str();
}

// Powers of ten up to `xMax`, for a log axis.
std::vector<double> DecadeTicks(double xMax)
{
    std::vector<double> ticks;
    for (double t = 1; t <= xMax * 1.0001; t *= 10)
        ticks.push_back(t);
    return ticks;
}

std::string Legend(const std::vector<std::pair<std::string, std::string>>& entries)
{
    std::ostringstream svg;
    double y = Frame::kBottom - 20.0 * double(entries.size()) - 6;  // bottom right, clear of the data
    for (const auto& [swatch, text] : entries) {
        svg << "<g transform=\"translate(" << Frame::kRight - 230 << ' ' << y << ")\">" << swatch
            << "<text x=\"34\" y=\"4\">" << text << "</text></g>\n";
        y += 20;
    }
    return svg.str();
}

// The series' points, each with how many series lie on it, by experiments, then successes.
std::vector<std::pair<Row, int>> Points(const std::vector<Row>& series)
{
    std::map<std::pair<long long, long long>, std::pair<Row, int>> points;
    for (const Row& row : series) {
        if (row.experiments > 0)
            ++points.try_emplace({row.experiments, row.successes}, row, 0).first->second.second;
    }
    std::vector<std::pair<Row, int>> all;
    all.reserve(points.size());
    for (auto& [at, point] : points)
        all.push_back(std::move(point));
    return all;
}

}  // namespace

std::vector<long long> LogCheckpoints(long long experiments, int count)
{
    std::vector<long long> points;
    for (int i = 0; i <= count; ++i) {
        const auto at = std::llround(std::pow(double(experiments), double(i) / count));
        if (points.empty() || at > points.back())
            points.push_back(std::clamp(at, 1LL, experiments));
    }
    if (points.back() != experiments)
        points.push_back(experiments);
    return points;
}

std::vector<long long> PlotCheckpoints(int first, int last, long long experiments)
{
    return first == last ? LogCheckpoints(experiments, kPlotPoints) : std::vector<long long>{};
}

std::string BatchPlot(const std::vector<Row>& rows, const std::vector<Checkpoint>& running)
{
    return rows.size() == 1 ? ConvergencePlot(rows.front(), running) : RangePlot(rows);
}

std::string ConvergencePlot(const Row& row, const std::vector<Checkpoint>& running)
{
    const double p = row.theoretical;
    const double xMax = std::max(10.0, double(row.experiments));
    const Frame frame{1, xMax, 0, 1, true};
    std::ostringstream svg;
    svg << SvgStart("成功率の収束　N = " + std::to_string(row.shots) + "（" + std::to_string(row.experiments) +
                    " 回の実験）");
    svg << Axes(frame, DecadeTicks(xMax), "実験回数（対数目盛）", "成功率（少なくとも１回当たった実験の割合）");

    svg << Band(frame, p, 2, "#cfe3ff") << TheoryLine(frame, p);
    svg << "<polyline fill=\"none\" stroke=\"#0050c8\" stroke-width=\"1.5\" points=\"";
    for (const Checkpoint& point : running)
        svg << frame.X(double(point.experiments)) << ',' << frame.Y(double(point.successes) / double(point.experiments))
            << ' ';
    svg << "\"/>\n";
    svg << Legend({{"<line x1=\"0\" x2=\"28\" stroke=\"#0050c8\" stroke-width=\"1.5\"/>", "実験的確率"},
                   {"<line x1=\"0\" x2=\"28\" stroke=\"#d00\" stroke-width=\"1.5\" stroke-dasharray=\"6 4\"/>",
                    "理論上の確率 " + row.theoreticalText},
                   {"<rect x=\"0\" y=\"-6\" width=\"28\" height=\"12\" fill=\"#cfe3ff\"/>", "±２標準誤差"}});
    svg << "</svg>\n";
    return svg.str();
}

std::string RangePlot(const std::vector<Row>& rows)
{
    const int first = rows.front().shots, last = rows.back().shots;
    const Frame frame{double(first) - 1, double(last) + 1, 0, 1, false};
    std::ostringstream svg;
    svg << SvgStart("少なくとも１回当たる確率：実験と理論（N ごとに " + std::to_string(rows.front().experiments) +
                    " 回の実験）");
    std::vector<double> ticks;
    for (int n = (first + 4) / 5 * 5; n <= last; n += 5)
        ticks.push_back(n);
    if (ticks.empty())
        ticks.push_back(first);
    svg << Axes(frame, ticks, "１回の実験で撃つ回数 N", "少なくとも１回当たる確率");
    svg << "<polyline fill=\"none\" stroke=\"#d00\" stroke-width=\"1.5\" stroke-dasharray=\"6 4\" points=\"";
    for (double n = first - 1; n <= last + 1 + 1e-9; n += 0.25)
        svg << frame.X(n) << ',' << frame.Y(TheoryCurve(n)) << ' ';
    svg << "\"/>\n<g fill=\"#0050c8\" stroke=\"#0050c8\">\n";
    for (const Row& row : rows) {
        const double half = 2 * StandardError(row.theoretical, double(row.experiments));
        svg << "<line x1=\"" << frame.X(row.shots) << "\" y1=\"" << frame.Y(std::max(0.0, row.experimental - half))
            << "\" x2=\"" << frame.X(row.shots) << "\" y2=\"" << frame.Y(std::min(1.0, row.experimental + half))
            << "\"/><circle cx=\"" << frame.X(row.shots) << "\" cy=\"" << frame.Y(row.experimental) << "\" r=\"3\"/>\n";
    }
    svg << "</g>\n";
    // 何回撃てば？ The least N past each marked level, on the theory's curve, where the range has it.
    for (const Level& level : kMarkedLevels) {
        const int shots = LeastShotsAbove(level.value);
        if (shots < first || shots > last)
            continue;
        const double x = frame.X(shots), y = frame.Y(TheoryCurve(shots));
        const bool right = x > (Frame::kLeft + Frame::kRight) / 2;
        svg << "<g stroke=\"#007a33\"><line x1=\"" << x << "\" y1=\"" << Frame::kBottom << "\" x2=\"" << x << "\" y2=\""
            << y << "\" stroke-dasharray=\"2 3\"/><circle cx=\"" << x << "\" cy=\"" << y
            << "\" r=\"4.5\" fill=\"none\" stroke-width=\"1.5\"/></g><text x=\"" << x + (right ? -8 : 8) << "\" y=\""
            << y + 36 << "\" text-anchor=\"" << (right ? "end" : "start")
            << "\" fill=\"#007a33\" stroke=\"#fff\" stroke-width=\"3\" paint-order=\"stroke\">" << level.text
            << " を超える最小の N = " << shots << "</text>\n";
    }
    svg << Legend({{"<circle cx=\"14\" cy=\"0\" r=\"3\" fill=\"#0050c8\"/>", "実験的確率（±２標準誤差）"},
                   {"<line x1=\"0\" x2=\"28\" stroke=\"#d00\" stroke-width=\"1.5\" stroke-dasharray=\"6 4\"/>",
                    "理論上の確率 1 − 0.9^N"}});
    svg << "</svg>\n";
    return svg.str();
}

std::string FunnelPlot(const std::vector<Row>& series, const Row& pooled)
{
    const double p = pooled.theoretical;
    double xMax = std::max(10.0, double(pooled.experiments));
    for (const Row& row : series)
        xMax = std::max(xMax, double(row.experiments));
    xMax = std::pow(10.0, std::ceil(std::log10(xMax)));
    const Frame frame{1, xMax, 0, 1, true};
    std::ostringstream svg;
    svg << SvgStart("クラスの結果　N = " + std::to_string(pooled.shots) + "（" + std::to_string(series.size()) +
                    " の系列、合計 " + std::to_string(pooled.experiments) + " 回の実験）");
    svg << Axes(frame, DecadeTicks(xMax), "実験回数（対数目盛）", "成功率（少なくとも１回当たった実験の割合）");
    svg << Band(frame, p, 3, "#e6f0ff") << Band(frame, p, 2, "#cfe3ff") << TheoryLine(frame, p);
    svg << "<g fill=\"#0050c8\">\n";
    bool shared = false;
    for (const auto& [row, count] : Points(series)) {
        // Series on one point are one mark, as much larger as they are many, with their number.
        const double x = frame.X(double(row.experiments)), y = frame.Y(row.experimental), r = 3.5 * std::sqrt(count);
        svg << "<circle cx=\"" << x << "\" cy=\"" << y << "\" r=\"" << r << "\"/>";
        if (count > 1)
            svg << "<text x=\"" << x + r + 2 << "\" y=\"" << y + 4 << "\" fill=\"#003080\" font-size=\"11\">×" << count
                << "</text>";
        if (std::fabs(row.standardErrors) > 3)  // a typo or a fault worth a look
            svg << "<circle cx=\"" << x << "\" cy=\"" << y << "\" r=\"" << r + 4.5
                << "\" fill=\"none\" stroke=\"#d00\" stroke-width=\"2\"/>";
        svg << "\n";
        shared = shared || count > 1;
    }
    svg << "</g>\n<path d=\"M" << frame.X(double(std::max(1LL, pooled.experiments))) << ','
        << frame.Y(pooled.experimental) - 7 << " l7 7 l-7 7 l-7 -7 Z\" fill=\"#f0a000\" stroke=\"#000\"/>\n";
    std::vector<std::pair<std::string, std::string>> legend = {
        {"<circle cx=\"14\" cy=\"0\" r=\"3.5\" fill=\"#0050c8\"/>", "各系列の成功率"}};
    if (shared)
        legend.emplace_back("<circle cx=\"8\" cy=\"0\" r=\"5\" fill=\"#0050c8\"/><text x=\"14\" y=\"4\" "
                            "fill=\"#003080\" font-size=\"10\">×3</text>",
                            "同じ点の系列（大きさと ×数 が系列の数）");
    legend.insert(
        legend.end(),
        {{"<path d=\"M14,-7 l7 7 l-7 7 l-7 -7 Z\" fill=\"#f0a000\" stroke=\"#000\"/>", "合計の成功率"},
         {"<line x1=\"0\" x2=\"28\" stroke=\"#d00\" stroke-width=\"1.5\" stroke-dasharray=\"6 4\"/>",
          "理論上の確率 " + pooled.theoreticalText},
         {"<rect x=\"0\" y=\"-6\" width=\"28\" height=\"12\" fill=\"#cfe3ff\"/>", "±２標準誤差（薄い帯は±３）"},
         {"<circle cx=\"14\" cy=\"0\" r=\"7\" fill=\"none\" stroke=\"#d00\" stroke-width=\"2\"/>",
          "±３標準誤差の外（確かめる価値あり）"}});
    svg << Legend(legend);
    svg << "</svg>\n";
    return svg.str();
}

namespace {

constexpr const char* kLinearWords = "１回 10％ずつ足した値";

// A horizontal line across the plot at `y`, in `stroke` with `dashes`, and its label at the right.
std::string Across(const Frame& frame, double y, const char* stroke, const char* dashes, const std::string& label)
{
    std::ostringstream svg;
    svg << "<line x1=\"" << Frame::kLeft << "\" y1=\"" << frame.Y(y) << "\" x2=\"" << Frame::kRight << "\" y2=\""
        << frame.Y(y) << "\" stroke=\"" << stroke << "\" stroke-width=\"2\" stroke-dasharray=\"" << dashes
        << "\"/><text x=\"" << Frame::kRight - 6 << "\" y=\"" << frame.Y(y) - 5 << "\" text-anchor=\"end\" fill=\""
        << stroke << "\" stroke=\"#fff\" stroke-width=\"3\" paint-order=\"stroke\">" << label << "</text>\n";
    return svg.str();
}

// Dots at `x` for `percents`, equal ones side by side `step` apart.
std::string Dots(const Frame& frame, double x, const std::vector<int>& percents, double step, double radius)
{
    std::map<int, int> counts;
    for (int percent : percents)
        ++counts[percent];
    std::ostringstream svg;
    for (const auto& [percent, count] : counts) {
        for (int at = 0; at < count; ++at)
            svg << "<circle cx=\"" << x + (at - (count - 1) / 2.0) * step << "\" cy=\"" << frame.Y(percent / 100.0)
                << "\" r=\"" << radius << "\"/>";
        svg << "\n";
    }
    return svg.str();
}

std::string PredictionCounts(const std::vector<PredictionGroup>& groups)
{
    int predicted = 0, dontKnow = 0, none = 0;
    for (const PredictionGroup& group : groups) {
        predicted += int(group.percents.size());
        dontKnow += group.dontKnow;
        none += group.none;
    }
    return "予想 " + std::to_string(predicted) + " 件、わからない " + std::to_string(dontKnow) + " 件、予想なし " +
           std::to_string(none) + " 件";
}

}  // namespace

std::string PredictionPlot(const std::vector<PredictionGroup>& groups)
{
    std::ostringstream svg;
    const std::string swatchDot = "<circle cx=\"14\" cy=\"0\" r=\"4\" fill=\"#0050c8\"/>";
    const std::string theoryLine =
        "<line x1=\"0\" x2=\"28\" stroke=\"#d00\" stroke-width=\"2\" stroke-dasharray=\"6 4\"/>";
    const std::string linearLine =
        "<line x1=\"0\" x2=\"28\" stroke=\"#007a33\" stroke-width=\"2\" stroke-dasharray=\"2 3\"/>";
    if (groups.size() == 1) {
        const PredictionGroup& group = groups.front();
        const Frame frame{0, 1, 0, 1, false};
        svg << SvgStart("予想と結果　N = " + std::to_string(group.shots) + "（" + PredictionCounts(groups) + "）");
        svg << Axes(frame, {}, "各系列の予想（同じ値は横に並べる）", "少なくとも１回当たる確率");
        const double step = std::min(9.0, 560.0 / double(std::max<std::size_t>(1, group.percents.size())));
        svg << Across(frame, std::min(1.0, 0.1 * group.shots), "#007a33", "2 3",
                      std::string(kLinearWords) + " " + std::to_string(std::min(100, 10 * group.shots)) + "％")
            << Across(frame, group.pooled.experimental, "#c07000", "10 3",
                      "クラスの実験 " + group.pooled.experimentalText)
            << Across(frame, group.pooled.theoretical, "#d00", "6 4", "理論 " + group.pooled.theoreticalText);
        svg << "<g fill=\"#0050c8\" fill-opacity=\"0.85\">\n"
            << Dots(frame, (Frame::kLeft + Frame::kRight) / 2, group.percents, step, std::min(4.0, step / 2))
            << "</g>\n";
        svg << "</svg>\n";
        return svg.str();
    }
    const int first = groups.front().shots, last = groups.back().shots;
    const Frame frame{double(first) - 1, double(last) + 1, 0, 1, false};
    svg << SvgStart("予想と結果：N ごと（" + PredictionCounts(groups) + "）");
    std::vector<double> ticks;
    ticks.reserve(groups.size());
    for (const PredictionGroup& group : groups)
        ticks.push_back(group.shots);
    svg << Axes(frame, ticks, "１回の実験で撃つ回数 N", "少なくとも１回当たる確率");
    svg << "<polyline fill=\"none\" stroke=\"#007a33\" stroke-width=\"2\" stroke-dasharray=\"2 3\" points=\"";
    for (double n = first - 1; n <= last + 1 + 1e-9; n += 0.25)
        svg << frame.X(n) << ',' << frame.Y(std::min(1.0, 0.1 * n)) << ' ';
    svg << "\"/>\n<polyline fill=\"none\" stroke=\"#d00\" stroke-width=\"2\" stroke-dasharray=\"6 4\" points=\"";
    for (double n = first - 1; n <= last + 1 + 1e-9; n += 0.25)
        svg << frame.X(n) << ',' << frame.Y(TheoryCurve(n)) << ' ';
    svg << "\"/>\n<g fill=\"#0050c8\" fill-opacity=\"0.85\">\n";
    const double room = (frame.X(first + 1) - frame.X(first)) * 0.8;
    for (const PredictionGroup& group : groups)
        svg << Dots(frame, frame.X(group.shots), group.percents, std::min(5.0, room / 8), 2.5);
    svg << "</g>\n";
    for (const PredictionGroup& group : groups)
        svg << "<path d=\"M" << frame.X(group.shots) << ',' << frame.Y(group.pooled.experimental) - 6
            << " l6 6 l-6 6 l-6 -6 Z\" fill=\"#f0a000\" stroke=\"#000\"/>\n";
    svg << Legend(
        {{swatchDot, "各系列の予想"},
         {"<path d=\"M14,-6 l6 6 l-6 6 l-6 -6 Z\" fill=\"#f0a000\" stroke=\"#000\"/>", "クラスの実験の成功率"},
         {theoryLine, "理論上の確率 1 − 0.9^N"},
         {linearLine, std::string(kLinearWords) + " min(1, 0.1N)"}});
    svg << "</svg>\n";
    return svg.str();
}

std::string FunnelDescription(const std::vector<Row>& series, const Row& pooled)
{
    const auto outside = std::count_if(series.begin(), series.end(), [](const Row& row) {
        return row.experiments > 0 && std::fabs(row.standardErrors) > 3;
    });
    std::vector<std::pair<Row, int>> shared = Points(series);
    std::erase_if(shared, [](const auto& point) { return point.second < 2; });
    std::stable_sort(shared.begin(), shared.end(), [](const auto& a, const auto& b) { return a.second > b.second; });
    std::string same;
    for (std::size_t at = 0; at < shared.size() && at < 5; ++at)
        same += (at > 0 ? "、" : "") + std::to_string(shared[at].first.experiments) + " 回中 " +
                std::to_string(shared[at].first.successes) + " 回に " + std::to_string(shared[at].second) + " 系列";
    if (shared.size() > 5)
        same += "、ほか " + std::to_string(shared.size() - 5) + " 点";
    return "クラスの結果のじょうご図。N = " + std::to_string(pooled.shots) + " の " + std::to_string(series.size()) +
           " の系列、合計 " + std::to_string(pooled.experiments) + " 回の実験で、合計の成功率は " +
           pooled.experimentalText + "、理論上の確率は " + pooled.theoreticalText + " です。±３標準誤差の外の系列は " +
           std::to_string(outside) + " です。" +
           (shared.empty() ? "" : "同じ点に重なる系列は、大きな点に数を添えて描いています（" + same + "）。");
}

std::string PlotDescription(const std::vector<Row>& rows)
{
    const Row& last = rows.back();
    const std::string figures =
        "実験的確率は " + last.experimentalText + "、理論上の確率は " + last.theoreticalText + " です。";
    if (rows.size() == 1)
        return "成功率の収束の図。N = " + std::to_string(last.shots) + " で " + std::to_string(last.experiments) +
               " 回の実験を終えたときの" + figures;
    return "N = " + std::to_string(rows.front().shots) + " から " + std::to_string(last.shots) +
           " までの実験的確率と理論上の確率の図（N ごとに " + std::to_string(last.experiments) +
           " 回の実験）。N = " + std::to_string(last.shots) + " の" + figures + "N ごとの値は表のとおりです。" +
           ShotsNeededText();
}

}  // namespace mokopera::sim
