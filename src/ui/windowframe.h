#pragma once
// A window's outer size, as the settings store it and the layout rules count it, includes a
// title bar and borders of these sizes (as at 96 dpi on the desktop the program was designed
// for), whatever the window manager draws. So a stored size means the same client area
// everywhere, and the regions laid out from it fill that area exactly.

namespace zarvik {

constexpr int kFrameWidth = 16;
constexpr int kFrameHeight = 38;

} // namespace zarvik
