#pragma once
// Finding the serial port of the USB board by its vendor and product id: the device registry
// on Windows, sysfs on Linux.

#include <cstdint>
#include <filesystem>
#include <string>

namespace zarvik {

struct UsbComPort {
    // The port number: COM number on Windows, the tty's number on Linux (ttyUSB0 gives 0);
    // -1 when the board was not found.
    int PortNumber = -1;
    // The name to open the port by: "COM5" on Windows; on Linux a stable name when there is
    // one (it survives unplugging): the board's own link /dev/zarvik-adc, else the name under
    // /dev/serial/by-id, else /dev/ttyUSB0 or the like.
    std::string DeviceName;
};

// The board's serial port: interface 00 of the USB device with the ids. instance is the device
// instance the board was registered with ("0001"); on Linux it is matched against the USB serial
// number to choose among several boards.
UsbComPort FindUsbComPort(std::uint16_t vendorId, std::uint16_t productId,
                          const std::string& instance);

// Where the Linux look-up finds the kernel's device tree and the device nodes. boardLink is
// the link the board's udev rule makes; it also names the board when the device tree shows no
// adapter with its identity (sysfs hidden in a container, a rule written for another adapter).
struct UsbPortRoots {
    std::filesystem::path sysfs = "/sys";
    std::filesystem::path dev = "/dev";
    std::filesystem::path byId = "/dev/serial/by-id";
    std::filesystem::path boardLink = "/dev/zarvik-adc";
};

UsbComPort FindUsbComPort(std::uint16_t vendorId, std::uint16_t productId,
                          const std::string& instance, const UsbPortRoots& roots);

// The registry key of the board's device parameters below "Enum\USB\", e.g.
// "Vid_10C4&Pid_EA61&Mi_00\0001_00\Device Parameters\".
std::string usbDeviceKey(std::uint16_t vendorId, std::uint16_t productId,
                         const std::string& instance);

// The number of a port name such as "COM5" (its first three characters dropped); -1 when the
// rest is not a decimal number.
int portNumberFromName(const std::string& portName);

} // namespace zarvik
