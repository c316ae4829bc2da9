#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "simulated_modem.h"
#include "uploader/port.h"
#include "uploader/uploader.h"

namespace tolvane {
namespace {

std::string Contents(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), {}};
}

TEST(DevicePort, OrdinaryFileIsTruncatedAndTakesTheBytesUnchanged) {
    const std::string path = ::testing::TempDir() + "tolvane_dry_run_port.txt";
    std::ofstream(path) << "an earlier dry run that is longer";
    std::string reason;
    const auto cm = OpenDevicePort(path, {}, reason);
    ASSERT_TRUE(cm) << reason;
    EXPECT_FALSE(cm->IsTerminal());
    EXPECT_FALSE(WantsLongPauses(path, *cm));
    for (const char c : std::string("AT\r\xC8\n")) cm->WriteByte(c);
    // Each byte is in the file at once, before the port is closed.
    EXPECT_EQ(Contents(path), "AT\r\xC8\n");
    EXPECT_EQ(cm->Read(std::chrono::milliseconds(0)), "");
    cm->Close();
}

TEST(DevicePort, TerminalAtItsDefaultSettingsIsPutIntoRawModeAndKeepsItsSpeed) {
    testing::SimulatedModem phone;
    ASSERT_TRUE(phone.Ready());
    const termios fresh = phone.Line();
    ASSERT_TRUE(fresh.c_lflag & ECHO) << "the pseudo-terminal should start with echo on";
    std::string reason;
    const auto cm = OpenDevicePort(phone.SlaveName(), {.readAnswers = true}, reason);
    ASSERT_TRUE(cm) << reason;
    EXPECT_TRUE(cm->IsTerminal());
    EXPECT_TRUE(WantsLongPauses(phone.SlaveName(), *cm));

    const termios line = phone.Line();
    EXPECT_EQ(line.c_lflag & (ECHO | ICANON | ISIG | IEXTEN), 0u);
    EXPECT_EQ(line.c_iflag & (ICRNL | INLCR | IGNCR), 0u);
    EXPECT_EQ(line.c_oflag & OPOST, 0u);
    EXPECT_EQ(::cfgetospeed(&line), ::cfgetospeed(&fresh));

    for (const char c : std::string("AT\r")) cm->WriteByte(c);
    // The phone echoes and answers; the answer is read back unchanged.
    std::string answer;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (!answer.ends_with("OK\r\n") && answer.size() < 64 &&
           std::chrono::steady_clock::now() < deadline)
        answer += cm->Read(std::chrono::milliseconds(100));
    EXPECT_EQ(answer, "AT\r\r\nOK\r\n");
    cm->Close();
    EXPECT_EQ(phone.Hangup(), "AT\r");
}

TEST(DevicePort, BaudSetsTheSpeedWithEightDataBitsNoParityAndOneStopBit) {
    testing::SimulatedModem phone;
    ASSERT_TRUE(phone.Ready());
    std::string reason;
    ASSERT_TRUE(OpenDevicePort(phone.SlaveName(), {.baud = 9600}, reason)) << reason;
    const termios line = phone.Line();
    EXPECT_EQ(::cfgetospeed(&line), B9600);
    EXPECT_EQ(line.c_cflag & (CSIZE | PARENB | CSTOPB), static_cast<tcflag_t>(CS8));
}

TEST(DevicePort, MissingPortIsNeverCreatedUnderDevOrUnderAPortName) {
    const std::string folder = ::testing::TempDir();
    for (const std::string& name : std::vector<std::string>{
             "/dev/ttyUSB_tolvane_absent", "/dev/tolvane_absent", folder + "COM7", folder + "com12",
             folder + "ttyACM9", folder + "ttyS31", "/no/such/folder/phones.txt"}) {
        if (name.starts_with(folder)) std::filesystem::remove(name);
        std::string reason;
        EXPECT_FALSE(OpenDevicePort(name, {}, reason)) << name;
        EXPECT_FALSE(std::filesystem::exists(name)) << name;
        EXPECT_TRUE(reason.starts_with("No such file or directory")) << reason;
    }
    // Any other name is a dry run into a new ordinary file.
    const std::string dryRun = folder + "COM7.txt";
    std::filesystem::remove(dryRun);
    std::string reason;
    EXPECT_TRUE(OpenDevicePort(dryRun, {}, reason)) << reason;
    EXPECT_TRUE(std::filesystem::is_regular_file(dryRun));
}

TEST(DevicePort, FailureReasonsGiveAHintWhereOneHelps) {
    EXPECT_NE(PortFailureReason("/dev/ttyUSB0", EACCES, true, "uucp").find("usermod -aG uucp"),
              std::string::npos);
    EXPECT_NE(PortFailureReason("/dev/ttyUSB0", EACCES, true, "").find("dialout"),
              std::string::npos);
    EXPECT_NE(PortFailureReason("COM1", ENOENT, true, "").find("/dev/ttyS0 (COM1)"),
              std::string::npos);
    EXPECT_EQ(PortFailureReason("out.txt", EACCES, false, ""), "Permission denied");
}

}  // namespace
}  // namespace tolvane
