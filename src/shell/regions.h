#pragma once
// The fixed places of the main window's regions, shared by the window's construction and its
// layout rule.

namespace zarvik::regions {

constexpr int kHeaderHeight = 17;
constexpr int kCtlBarTop = 16;
constexpr int kCtlBarHeight = 41;
constexpr int kFileTop = 56;
constexpr int kFileHeight = 57;
constexpr int kChartTop = 112;
constexpr int kChartLeft = 3;
constexpr int kSaveChartAboveBottom = 26;
constexpr int kStatusHeight = 19;

} // namespace zarvik::regions
