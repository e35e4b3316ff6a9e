#pragma once
// Why the operator's user may not open the board's port: who owns the device node, and
// whether the user belongs to its group now or only after logging in again. The text that
// tells the operator how to mend it is built from these facts by the link.

#include <string>

namespace zarvik {

// The udev rule installed with the program: it gives the board's port to the serial group
// and names it /dev/zarvik-adc.
inline constexpr const char* kUdevRuleName = "60-zarvik.rules";

struct PortAccess {
    std::string node;   // the device node the port's name leads to
    std::string user;   // the user the program runs as
    std::string group;  // the group owning the node ("dialout"); a number when it has no name
    bool known = false; // the node could be examined at all
    bool groupMayReadWrite = false; // the node's mode lets its group read and write
    bool inGroupNow = false;        // this session has the group
    bool inGroupListed = false;     // the group database lists the user in it
};

// An error of opening a device that means "not allowed" rather than "not there".
bool isAccessDenied(int error);

// The facts about the device named (a link such as /dev/zarvik-adc is followed).
PortAccess examinePortAccess(const std::string& device);

} // namespace zarvik
