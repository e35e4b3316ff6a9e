#pragma once
// Message formats of the serial port component. "%d" takes the system error code and "%s"
// the system's text for it; the open error puts the device name first.

namespace zarvik {

inline constexpr const char* sOpenFailed = "Unable to open specified device %s (%d), %s";
inline constexpr const char* sPortOpen = "Can't perform this operation while port is open";
inline constexpr const char* sWriteDcb = "Error writing dcb (%d), %s";
inline constexpr const char* sSetupBuffers = "Error initializing buffers (%d), %s";
inline constexpr const char* sSetTimeouts = "Error setting timeouts (%d), %s";
inline constexpr const char* sSetEventMask = " Error setting EventMask (%d), %s";
inline constexpr const char* sPurge = "Error clearing buffers (%d), %s";
inline constexpr const char* sStatistics = "Error retrieving statistics (%d), %s";
inline constexpr const char* sReadError = "Read error (%d), %s";
inline constexpr const char* sWriteError = "Write error (%d), %s";
inline constexpr const char* sBufferFull = "Output buffer is full. Please check comm status.";

} // namespace zarvik
