#pragma once
// Text helpers of the serial port component.

#include <string>
#include <vector>

namespace zarvik {

// The system's text for an error code (errno on POSIX, GetLastError on Windows).
std::string SystemErrorText(int code);

// Fills the "%s" and "%d" placeholders of a message format in order from args; "%%" is a
// percent sign. A format without placeholders comes back unchanged; missing args are empty.
std::string FillMessage(const std::string& format, const std::vector<std::string>& args);

// A component message format filled with the error code and its system text.
std::string ErrorMessage(const char* format, int code);

// The device name: the first integer placeholder ("%d", "%u", "%i") of the format replaced by
// the port number. The name is never used as a printf format, so a stray "%" is harmless.
std::string FormatDeviceName(const std::string& format, int portNum);

} // namespace zarvik
