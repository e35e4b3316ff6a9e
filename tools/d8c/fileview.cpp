#include "fileview.h"

#include "files/d8cfile.h"

#include <algorithm>
#include <cmath>
#include <filesystem>

namespace zarvik::d8c {

std::string programFileName(const std::string& fileName) {
    std::error_code ec;
    std::filesystem::path p = std::filesystem::absolute(std::filesystem::u8path(fileName), ec);
    if (ec)
        p = std::filesystem::u8path(fileName);
    p = p.lexically_normal();
    // A folder's name keeps no separator at its end.
    if (!p.has_filename() && p.has_relative_path())
        p = p.parent_path();
    return p.make_preferred().u8string();
}

std::pair<int, int> pointsBetween(std::size_t count, double samplePeriodUs,
                                  std::optional<double> fromMs, std::optional<double> toMs) {
    if (count == 0)
        return {-1, -1};
    // Without a sampling period the points have no time: only the whole stretch is shown.
    if (!(samplePeriodUs > 0.0) || !std::isfinite(samplePeriodUs))
        return fromMs || toMs ? std::pair(-1, -1) : std::pair(0, static_cast<int>(count) - 1);
    // Point i is drawn at instant i + 1.
    auto time = [samplePeriodUs](std::size_t i) {
        return static_cast<double>(i + 1) * samplePeriodUs / 1000.0;
    };
    std::size_t first = 0;
    if (fromMs) {
        const double guess = std::ceil(*fromMs * 1000.0 / samplePeriodUs) - 1.0;
        first = guess <= 0.0 ? 0 : std::min(static_cast<std::size_t>(guess), count);
        while (first > 0 && time(first - 1) >= *fromMs)
            --first;
        while (first < count && time(first) < *fromMs)
            ++first;
    }
    std::size_t end = count; // one past the last
    if (toMs) {
        const double guess = std::floor(*toMs * 1000.0 / samplePeriodUs);
        end = guess <= 0.0 ? 0 : std::min(static_cast<std::size_t>(guess), count);
        while (end < count && time(end) <= *toMs)
            ++end;
        while (end > 0 && time(end - 1) > *toMs)
            --end;
    }
    if (first >= end)
        return {-1, -1};
    return {static_cast<int>(first), static_cast<int>(end - 1)};
}

FileView openFileView(const std::string& fileName, const ViewOptions& options) {
    FileView v;
    LoadedD8c loaded = loadD8cFile(programFileName(fileName));
    const std::uint8_t mask = loaded.contents.header.ChannelMask;
    applyLoadedD8c(v.m, std::move(loaded));

    ChartBuildInput in;
    const bool time = options.x != XColumn::Samples;
    in.mode = options.physical ? (time ? AxisMode::ValuesTime : AxisMode::ValuesSamples)
                               : (time ? AxisMode::AdcTime : AxisMode::AdcSamples);
    in.timeUnitDivisor = timeUnitDivisor(options.timeUnit);
    in.smoothing = options.smoothing.has_value();
    in.smoothingPoints = options.smoothing.value_or(8);
    std::vector<int> held;
    for (int n = 1; n <= kChannels; ++n) {
        in.checked[n] = (mask & (1u << (n - 1))) != 0;
        if (in.checked[n])
            held.push_back(n);
    }
    for (int n : options.channels)
        if (!in.checked[n]) {
            std::string list;
            for (int h : held)
                list += (list.empty() ? "" : ",") + std::to_string(h);
            throw ViewError("channel " + std::to_string(n) + " is not in the file (it holds " +
                            (list.empty() ? std::string("none") : "channels " + list) + ")");
        }
    v.channels = options.channels.empty() ? held : options.channels;

    buildChannelPoints(v.m, in, v.points);
    v.m.ChannelMask = v.points.channelMask;
    v.titles = fileAxisTitles(in.mode, v.m.YTitle, options.timeUnit);
    // The measurement's time title, as the program's build sets it whatever the axis shows.
    v.m.XTitle = kTimeTitles[static_cast<std::size_t>(options.timeUnit)].text;
    const std::size_t count = held.empty() ? 0 : v.points.channels[held.front()].y.size();
    std::tie(v.visibleFirst, v.visibleLast) =
        pointsBetween(count, v.m.SamplePeriodUs, options.fromMs, options.toMs);
    return v;
}

ExportView exportViewOf(const FileView& view, const ViewOptions& options, std::vector<double>& xs) {
    ExportView e;
    std::size_t count = 0;
    for (int n : view.channels)
        count = std::max(count, view.points.channels[n].y.size());
    xs.resize(count);
    for (std::size_t i = 0; i < count; ++i)
        xs[i] = view.points.x(i);
    for (int n : view.channels) {
        e.checked[n] = true;
        const std::vector<double>& y = view.points.channels[n].y;
        e.series[n] = SeriesView{xs.data(), y.data(), y.size()};
    }
    e.leftAxisTitle = view.titles.left;
    e.bottomAxisTitle = view.titles.bottom;
    e.VisibleFirst = view.visibleFirst;
    e.VisibleLast = view.visibleLast;
    e.storeX = options.x != XColumn::None;
    e.integrationPoints = options.smoothing;
    e.physical = options.physical;
    return e;
}

} // namespace zarvik::d8c
