#pragma once
// Line rates outside the classic speed table, set through the kernel's second termios
// interface. Kept apart because its header clashes with <termios.h>.

#include <cstdint>

namespace zarvik {

// Sets input and output rate of the open tty to rate; 0 or the system error code.
int SetCustomBaudrate(int fd, std::uint32_t rate);

} // namespace zarvik
