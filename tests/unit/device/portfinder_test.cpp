#include "device/portfinder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

namespace zarvik {
namespace {
namespace fs = std::filesystem;

// A fake kernel device tree with USB serial adapters, laid out as sysfs lays them out: the
// tty's class entry links to the tty device below the USB interface below the USB device.
class FakeSysfs {
public:
    FakeSysfs() {
        char pattern[] = "/tmp/zarvik-sysfs-XXXXXX";
        m_root = ::mkdtemp(pattern);
        fs::create_directories(sysfsDir() / "class" / "tty");
        fs::create_directories(m_root / "dev" / "serial" / "by-id");
        // A tty without a device, as the virtual consoles are.
        fs::create_directories(sysfsDir() / "class" / "tty" / "tty0");
    }
    ~FakeSysfs() {
        std::error_code ec;
        fs::remove_all(m_root, ec);
    }

    fs::path sysfsDir() const { return m_root / "sys"; }
    UsbPortRoots roots() const {
        return {sysfsDir(), m_root / "dev", m_root / "dev" / "serial" / "by-id",
                m_root / "dev" / "zarvik-adc"};
    }

    // port: "1-1" (USB path); usbSerial: true for the usb-serial layout (ttyUSBn below a port
    // device), false for the modem class layout (ttyACMn right below the interface).
    void addTty(const std::string& port, const std::string& vid, const std::string& pid,
                const std::string& serial, const std::string& interfaceNumber,
                const std::string& tty, bool usbSerial = true) {
        const fs::path usbDevice = sysfsDir() / "devices" / "pci0000:00" / "usb1" / port;
        const fs::path interfaceDir = usbDevice / (port + ":1." + std::to_string(m_ifaces++));
        fs::create_directories(interfaceDir);
        write(usbDevice / "idVendor", vid);
        write(usbDevice / "idProduct", pid);
        if (!serial.empty()) {
            write(usbDevice / "serial", serial);
        }
        write(interfaceDir / "bInterfaceNumber", interfaceNumber);
        const fs::path deviceDir = usbSerial ? interfaceDir / tty : interfaceDir;
        const fs::path classDir = deviceDir / "tty" / tty;
        fs::create_directories(classDir);
        fs::create_symlink(usbSerial ? "../../../" + tty : "../..", classDir / "device");
        fs::create_directory_symlink(fs::relative(classDir, sysfsDir() / "class" / "tty"),
                                     sysfsDir() / "class" / "tty" / tty);
    }

    void addById(const std::string& name, const std::string& tty) {
        fs::create_symlink("../../" + tty, m_root / "dev" / "serial" / "by-id" / name);
    }

    // The udev rule's link, relative as udev makes it; the node it names exists when asked.
    void addBoardLink(const std::string& tty, bool nodeExists) {
        fs::create_symlink(tty, roots().boardLink);
        if (nodeExists) {
            write(m_root / "dev" / tty, "");
        }
    }

private:
    static void write(const fs::path& file, const std::string& text) {
        std::ofstream(file) << text << "\n";
    }

    fs::path m_root;
    int m_ifaces = 0;
};

UsbComPort findBoard(const FakeSysfs& tree) {
    return FindUsbComPort(0x10C4, 0xEA61, "0001", tree.roots());
}

TEST(PortFinderTest, BoardPresentIsFoundByItsStableName) {
    FakeSysfs tree;
    tree.addTty("1-1", "0403", "6001", "A1", "00", "ttyUSB0");
    tree.addTty("1-2", "10c4", "ea61", "0001", "00", "ttyUSB1");
    tree.addById("usb-FTDI_A1-if00-port0", "ttyUSB0");
    tree.addById("usb-Board_0001-if00-port0", "ttyUSB1");
    const UsbComPort port = findBoard(tree);
    EXPECT_EQ(port.PortNumber, 1);
    EXPECT_EQ(port.DeviceName, (tree.roots().byId / "usb-Board_0001-if00-port0").string());
}

TEST(PortFinderTest, WithoutAStableNameTheDeviceNodeIsUsed) {
    FakeSysfs tree;
    tree.addTty("1-1", "10C4", "EA61", "", "00", "ttyACM3", false);
    const UsbComPort port = findBoard(tree);
    EXPECT_EQ(port.PortNumber, 3);
    EXPECT_EQ(port.DeviceName, (tree.roots().dev / "ttyACM3").string());
}

TEST(PortFinderTest, BoardAbsent) {
    FakeSysfs tree;
    EXPECT_EQ(findBoard(tree).PortNumber, -1);
    tree.addTty("1-1", "10c4", "ea60", "0001", "00", "ttyUSB0"); // another product
    tree.addTty("1-2", "10c5", "ea61", "0001", "00", "ttyUSB1"); // another vendor
    const UsbComPort port = findBoard(tree);
    EXPECT_EQ(port.PortNumber, -1);
    EXPECT_EQ(port.DeviceName, "");
    // No tree at all.
    EXPECT_EQ(FindUsbComPort(0x10C4, 0xEA61, "0001",
                             {"/nonexistent", "/nonexistent", "/x", "/nonexistent/link"})
                  .PortNumber,
              -1);
}

TEST(PortFinderTest, OnlyInterfaceZeroCounts) {
    FakeSysfs tree;
    tree.addTty("1-1", "10c4", "ea61", "0001", "01", "ttyUSB0");
    EXPECT_EQ(findBoard(tree).PortNumber, -1);
    tree.addTty("1-1", "10c4", "ea61", "0001", "00", "ttyUSB1");
    EXPECT_EQ(findBoard(tree).PortNumber, 1);
}

TEST(PortFinderTest, TwoBoardsPreferTheRegisteredInstanceThenTtyOrder) {
    FakeSysfs tree;
    tree.addTty("1-1", "10c4", "ea61", "0007", "00", "ttyUSB10");
    tree.addTty("1-2", "10c4", "ea61", "0009", "00", "ttyUSB2");
    EXPECT_EQ(findBoard(tree).PortNumber, 2);
    tree.addTty("1-3", "10c4", "ea61", "0001", "00", "ttyUSB11");
    EXPECT_EQ(findBoard(tree).PortNumber, 11);
}

TEST(PortFinderTest, TheBoardLinkNamesTheBoardItPointsTo) {
    struct Case {
        const char* what;
        bool sysfsBoard;    // an adapter with the board's identity on ttyUSB1
        const char* linkTo; // the link's target; null for no link
        bool nodeExists;
        int number;
        const char* name; // below the fake root; "" when not found
    } cases[] = {
        {"link to the board wins over by-id", true, "ttyUSB1", true, 1, "dev/zarvik-adc"},
        {"link to another tty leaves the board its by-id name", true, "ttyUSB0", true, 1,
         "dev/serial/by-id/usb-Board_0001-if00-port0"},
        {"link alone names the board the device tree does not show", false, "ttyUSB5", true, 5,
         "dev/zarvik-adc"},
        {"a port without a number still counts", false, "ttyS", true, 0, "dev/zarvik-adc"},
        {"a dangling link is no board", false, "ttyUSB5", false, -1, ""},
        {"no link and no board", false, nullptr, false, -1, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FakeSysfs tree;
        tree.addTty("1-1", "0403", "6001", "A1", "00", "ttyUSB0");
        if (c.sysfsBoard) {
            tree.addTty("1-2", "10c4", "ea61", "0001", "00", "ttyUSB1");
            tree.addById("usb-Board_0001-if00-port0", "ttyUSB1");
        }
        if (c.linkTo) {
            tree.addBoardLink(c.linkTo, c.nodeExists);
        }
        const UsbComPort port = findBoard(tree);
        EXPECT_EQ(port.PortNumber, c.number);
        const fs::path root = tree.roots().dev.parent_path();
        EXPECT_EQ(port.DeviceName, *c.name ? (root / c.name).string() : "");
    }
}

TEST(PortFinderTest, RegistryKeyAndPortNames) {
    EXPECT_EQ(usbDeviceKey(0x10C4, 0xEA61, "0001"),
              "Vid_10C4&Pid_EA61&Mi_00\\0001_00\\Device Parameters\\");
    EXPECT_EQ(usbDeviceKey(0x04B4, 0x0003, "5"),
              "Vid_04B4&Pid_0003&Mi_00\\5_00\\Device Parameters\\");
    EXPECT_EQ(portNumberFromName("COM5"), 5);
    EXPECT_EQ(portNumberFromName("COM12"), 12);
    EXPECT_EQ(portNumberFromName("COM"), -1);
    EXPECT_EQ(portNumberFromName("COMX1"), -1);
    EXPECT_EQ(portNumberFromName("COM99999999999"), -1);
}

} // namespace
} // namespace zarvik
