// COM port numbers to devices: the port-map folder, its links and the system's devices.
#include "ComPortFolder.h"

#include "platform/serial/PortMap.h"

#include <gtest/gtest.h>

#include <fstream>

using platform::ComPortMapping;
using platform::PortMap;
using testing_support::EnvironmentGuard;
using testing_support::TemporaryFolder;

namespace fs = std::filesystem;

namespace {

TEST(PortMapFolder, ComportsDirWinsOverXdgConfigHomeWhichWinsOverHome) {
    EnvironmentGuard environment;
    environment.set("HOME", "/home/engineer");
    environment.set("XDG_CONFIG_HOME", "/xdg");
    environment.set("COMPORTS_DIR", "/lab/ports");
    EXPECT_EQ(platform::portMapFolder(), fs::path("/lab/ports"));

    environment.unset("COMPORTS_DIR");
    EXPECT_EQ(platform::portMapFolder(), fs::path("/xdg/comports"));

    // Empty and relative values are not a configuration folder.
    environment.set("COMPORTS_DIR", "");
    environment.set("XDG_CONFIG_HOME", "relative/config");
    EXPECT_EQ(platform::portMapFolder(), fs::path("/home/engineer/.config/comports"));

    environment.unset("XDG_CONFIG_HOME");
    EXPECT_EQ(platform::portMapFolder(), fs::path("/home/engineer/.config/comports"));
    EXPECT_EQ(platform::displayPath(platform::portMapFolder()), "~/.config/comports");
    EXPECT_EQ(platform::displayPath("/home/engineering/x"), "/home/engineering/x");
}

// A fake system: dev/ entries and the sysfs facts about on-board ports.
class FakeSystem {
public:
    FakeSystem() { fs::create_directories(root_.path() / "dev"); }
    const fs::path& root() const { return root_.path(); }
    void device(const std::string& name) { std::ofstream(root_.path() / "dev" / name).put('\0'); }
    // An on-board port as the 8250 driver lists it; type 0 is a phantom without a UART.
    void onBoardPort(const std::string& name, int type) {
        device(name);
        fs::path entry = root_.path() / "sys" / "class" / "tty" / name;
        fs::create_directories(entry / "device");
        std::ofstream(entry / "type") << type << "\n";
    }

private:
    TemporaryFolder root_;
};

class PortMapOnFakeSystem : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(folder());
        system.onBoardPort("ttyS0", 4);
        system.onBoardPort("ttyS1", 0);
        system.onBoardPort("ttyS3", 0);
        system.onBoardPort("ttyS12", 4);
        system.device("ttyS2");  // no sysfs entry at all
        system.device("ttyUSB10");
        system.device("ttyUSB9");
        system.device("ttyUSB0");
        system.device("ttyACM1");
        system.device("ttyACM0");
        system.device("ttyUSBserial");
        system.device("ttyAMA0");
        system.device("tty5");
    }
    fs::path folder() const { return system.root() / "comports"; }
    fs::path dev(const std::string& name) const { return system.root() / "dev" / name; }
    void link(const std::string& name, const fs::path& target) {
        fs::create_symlink(target, folder() / name);
    }

    FakeSystem system;
    PortMap map{folder(), system.root()};
};

TEST_F(PortMapOnFakeSystem, SystemDevicesComeUsbThenAcmThenRealOnBoardPortsNumerically) {
    std::vector<std::string> expected = {
        dev("ttyUSB0"), dev("ttyUSB9"), dev("ttyUSB10"), dev("ttyACM0"),
        dev("ttyACM1"), dev("ttyS0"),   dev("ttyS12"),
    };
    EXPECT_EQ(map.systemSerialDevices(), expected);
}

TEST_F(PortMapOnFakeSystem, PortsWithoutLinksTakeTheSystemDevicesInOrder) {
    ComPortMapping first = map.map(1);
    EXPECT_EQ(first.source, ComPortMapping::Source::system);
    EXPECT_EQ(first.device, dev("ttyUSB0"));
    EXPECT_EQ(map.map(4).device, dev("ttyACM0"));
    EXPECT_EQ(map.map(7).device, dev("ttyS12"));
    EXPECT_EQ(map.map(8).source, ComPortMapping::Source::none);
    EXPECT_EQ(map.map(0).source, ComPortMapping::Source::none);
    EXPECT_EQ(map.describe(8), "COM8: no device");
}

TEST_F(PortMapOnFakeSystem, LinksWinAndResolveRelativeToTheFolder) {
    link("com1", dev("ttyACM1"));
    link("com2", "../dev/ttyUSB9");
    link("COM3", dev("ttyS0"));
    link("com9", "/dev/serial/by-id/usb-FTDI_FT232R_A1B2-if00-port0");

    ComPortMapping first = map.map(1);
    EXPECT_EQ(first.source, ComPortMapping::Source::link);
    EXPECT_EQ(first.device, dev("ttyACM1"));
    EXPECT_EQ(first.link, folder() / "com1");
    EXPECT_EQ(map.map(2).device, dev("ttyUSB9"));
    EXPECT_EQ(map.map(3).device, dev("ttyS0"));
    // A link is kept as the user wrote it, by-id names included.
    EXPECT_EQ(map.map(9).device, "/dev/serial/by-id/usb-FTDI_FT232R_A1B2-if00-port0");
    // Ports without links still count system devices from the first.
    EXPECT_EQ(map.map(4).device, dev("ttyACM0"));
}

TEST_F(PortMapOnFakeSystem, ALinkToAMissingDeviceStaysMissingInsteadOfFallingBack) {
    link("com1", dev("ttyUSB7"));
    ComPortMapping mapping = map.map(1);
    EXPECT_EQ(mapping.source, ComPortMapping::Source::link);
    EXPECT_EQ(mapping.device, dev("ttyUSB7"));
    EXPECT_NE(map.describe(1).find("device not present"), std::string::npos) << map.describe(1);
}

TEST_F(PortMapOnFakeSystem, DescriptionsSayWhereTheMappingComesFrom) {
    link("com3", dev("ttyUSB10"));
    EXPECT_EQ(map.describe(3),
              "COM3 -> " + dev("ttyUSB10").string() + " (link in " + folder().string() + ")");
    EXPECT_EQ(map.describe(1).rfind("COM1 -> " + dev("ttyUSB0").string() + " (serial device 1", 0),
              0u)
        << map.describe(1);
}

TEST(PortMapWithoutDevices, AMissingFolderAndAnEmptySystemMapNothing) {
    TemporaryFolder root;
    PortMap map(root.path() / "no-such-folder", root.path() / "no-such-root");
    EXPECT_TRUE(map.systemSerialDevices().empty());
    EXPECT_EQ(map.map(1).source, ComPortMapping::Source::none);
}

}  // namespace
