#include <gtest/gtest.h>

#ifndef _WIN32
#include <fcntl.h>
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "tests/support/Unprivileged.h"
#endif

#include <cstdlib>
#include <filesystem>

#include "platform/PortNames.h"
#include "platform/SerialPort.h"
#include "tests/support/Environment.h"
#include "tests/support/PtyPeer.h"
#include "tests/support/TempDir.h"

namespace velluma {
namespace {

using test::PtyPeer;

TEST(SerialPortTest, LineSettingsAreKeptAsAskedAndAPtyRunsWithoutParity) {
  PtyPeer peer;
  VirtualClock clock;
  SerialPort port(clock);
  LineSettings even{9600, 8, Parity::Even, 1};
  ASSERT_TRUE(port.Open(peer.DevicePath(), even))
      << port.LastError();  // ENOTTY from DTR/RTS is fine
  EXPECT_EQ(port.Requested(), even);
  EXPECT_FALSE(port.ParityApplied());
  EXPECT_EQ(peer.LineSpeed(), 9600);

  EXPECT_TRUE(port.SetSpeed(38400));
  EXPECT_EQ(peer.LineSpeed(), 38400);
  EXPECT_EQ(port.Requested().speed, 38400);
  EXPECT_FALSE(port.SetSpeed(12345));
  EXPECT_EQ(peer.LineSpeed(), 38400);
}

TEST(SerialPortTest, AReadTimeOutIsAResultTakenThroughTheClock) {
  PtyPeer peer;
  VirtualClock clock(0.001, 20);
  SerialPort port(clock);
  ASSERT_TRUE(port.Open(peer.DevicePath(), {}));
  std::uint8_t byte = 0;
  EXPECT_EQ(port.ReadByte(byte, 10000), SerialPort::ReadResult::Timeout);
  EXPECT_EQ(clock.Events(),
            (std::vector<VirtualClock::Event>{{VirtualClock::Kind::Timeout, 10000}}));
}

TEST(SerialPortTest, WrittenBytesArriveAndPurgeKeepsThemButDropsTheInput) {
  PtyPeer peer;
  peer.Reply(test::Bytes("late"));
  VirtualClock clock;
  SerialPort port(clock);
  ASSERT_TRUE(port.Open(peer.DevicePath(), {}));
  const std::uint8_t frame[] = {0x02, 'Q', 'I', 'D', 0x03};
  EXPECT_EQ(port.Write(frame, sizeof frame, 1000), 5);
  EXPECT_TRUE(port.Purge());
  ASSERT_TRUE(peer.WaitForFrames(1));
  EXPECT_EQ(peer.Frames(), std::vector<std::string>{"QID"});
  std::uint8_t byte;
  EXPECT_EQ(port.ReadByte(byte, 10000), SerialPort::ReadResult::Byte);
  EXPECT_EQ(byte, 'l');
}

TEST(SerialPortTest, AMissingDeviceOrANonSerialFileCannotBeOpened) {
  test::TempDir dir;
  dir.Write("plain", "text");
  VirtualClock clock;
  SerialPort port(clock);
  EXPECT_FALSE(port.Open(dir.File("nothing"), {}));
  EXPECT_NE(port.LastError().find("cannot open"), std::string::npos);
  EXPECT_FALSE(port.Open(dir.File("plain"), {}));
  EXPECT_FALSE(port.IsOpen());
  std::uint8_t byte;
  EXPECT_EQ(port.ReadByte(byte, 10), SerialPort::ReadResult::Failed);
  EXPECT_EQ(port.Write(&byte, 1, 10), -1);
  EXPECT_FALSE(port.Purge());
}

#ifdef _WIN32
// Windows names its ports itself: a name is the port, and there is no ports directory.
TEST(PortNamesTest, WindowsPortNamesAreUsedAsTheyStand) {
  for (const char* name : {"COM1", "COM9", "COM12", "COM256", "\\\\.\\COM3"})
    EXPECT_EQ(ResolvePortName(name), name);
  EXPECT_EQ(PortsDirectory(), "");
}
#else
TEST(PortNamesTest, NamesResolveThroughThePortsDirectory) {
  test::TempDir dir;
  test::SetEnvironment("VELLUMA_PORTS", dir.Path().string().c_str());
  std::filesystem::create_symlink("/dev/null", dir.Path() / "COM3");
  EXPECT_EQ(ResolvePortName("COM3"), dir.File("COM3"));
  EXPECT_EQ(ResolvePortName("COM1"), "/dev/ttyS0");
  EXPECT_EQ(ResolvePortName("COM9"), "/dev/ttyS8");
  EXPECT_EQ(ResolvePortName("USB"), dir.File("USB"));
  EXPECT_EQ(ResolvePortName("/dev/pts/7"), "/dev/pts/7");
  test::UnsetEnvironment("VELLUMA_PORTS");
  test::SetEnvironment("HOME", "/home/op");
  EXPECT_EQ(PortsDirectory(), "/home/op/.config/Quillem/Velluma/ports");
}

TEST(SerialPortTest, APortNameOpensThroughItsLinkInThePortsDirectory) {
  PtyPeer peer;
  test::TempDir dir;
  test::SetEnvironment("VELLUMA_PORTS", dir.Path().string().c_str());
  std::filesystem::create_symlink(peer.DevicePath(), dir.Path() / "COM1");
  VirtualClock clock;
  SerialPort port(clock);
  EXPECT_TRUE(port.Open("COM1", {})) << port.LastError();
  test::UnsetEnvironment("VELLUMA_PORTS");
}
#endif

}  // namespace
}  // namespace velluma

#ifndef _WIN32
namespace velluma {
namespace {

// A port that exists but is refused to this user says which group may use it and how to join
// it; one only its owner may use says so. Run as a user without root's override.
TEST(SerialPortAccessTest, ARefusedPortNamesTheGroupThatGrantsIt) {
  const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
  ASSERT_GE(master, 0);
  ASSERT_EQ(::grantpt(master), 0);
  ASSERT_EQ(::unlockpt(master), 0);
  const std::string device = ::ptsname(master);
  const struct group* dialout = ::getgrnam("dialout");
  ASSERT_NE(dialout, nullptr) << "Debian's group for serial ports";
  test::TempDir dir;
  const struct {
    mode_t mode;
    std::string advice;
  } cases[] = {
      {0660, device + ": permission denied; members of the group 'dialout' may use it: add "
                      "yourself with 'sudo adduser $USER dialout' and log in again"},
      {0600, device + ": permission denied; only its owner may use it"},
  };
  for (const auto& c : cases) {
    ASSERT_EQ(::chown(device.c_str(), ::geteuid(), dialout->gr_gid), 0);
    ASSERT_EQ(::chmod(device.c_str(), c.mode), 0);
    EXPECT_TRUE(test::RunUnprivileged(dir.Path().string(), [&] {
      VirtualClock clock;
      SerialPort port(clock);
      return !port.Open(device, LineSettings{}) && port.AccessAdvice() == c.advice &&
             port.LastError() == "cannot open " + device + ": Permission denied";
    })) << c.advice;
  }
  VirtualClock clock;
  SerialPort port(clock);
  EXPECT_TRUE(port.Open("/dev/null-does-not-exist", LineSettings{}) == false &&
              port.AccessAdvice().empty())
      << "a missing device is not a matter of permission";
  ::close(master);
}

// One run per port: a second opener is refused with the holder named and the line untouched
// (the holder's speed stays); after the holder closes, anyone may open it, a user who is not
// root too, though the pty's other end stayed open all along.
TEST(SerialPortAccessTest, APortIsHeldByOneOpenerAtATimeAndFreedOnClose) {
  PtyPeer peer;
  ::chmod(peer.DevicePath().c_str(), 0666);
  VirtualClock clock;
  SerialPort holder(clock), second(clock);
  ASSERT_TRUE(holder.Open(peer.DevicePath(), LineSettings{}));
  ASSERT_TRUE(holder.SetSpeed(115200));
  EXPECT_FALSE(second.Open(peer.DevicePath(), LineSettings{}));
  EXPECT_EQ(second.BusyReason(), peer.DevicePath() + " is in use by process " +
                                     std::to_string(::getpid()) + " (SerialPortTest)");
  EXPECT_EQ(peer.LineSpeed(), 115200) << "the refused opener touched the line";
  holder.Close();
  test::TempDir dir;
  EXPECT_TRUE(test::RunUnprivileged(dir.Path().string(), [&] {
    VirtualClock childClock;
    SerialPort port(childClock);
    return port.Open(peer.DevicePath(), LineSettings{}) && port.BusyReason().empty();
  }));
}
}  // namespace
}  // namespace velluma
#endif
