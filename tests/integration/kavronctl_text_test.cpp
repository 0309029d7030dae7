// kavronctl's text rules, without a network: escaped fields out, addresses and ports in,
// credentials between the console and Windows' code page, the terminal after a hidden
// prompt.
#include <gtest/gtest.h>

#include <string.h>

#ifndef _WIN32
#include <fcntl.h>
#include <pty.h>
#include <sys/select.h>
#include <signal.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>
#endif

#include "address.h"
#include "console_text.h"
#include "output.h"
#include "port_argument.h"
#include "terminal.h"

namespace {

TEST(KavronctlText, ControlBytesAndBackslashAreEscapedOtherBytesKept)
{
    EXPECT_EQ(EscapeField("a\tb\nc\rd\\e"), "a\\tb\\nc\\rd\\\\e");
    EXPECT_EQ(EscapeField("\x01\x1f\x7f"), "\\x01\\x1f\\x7f");
    // A literal backslash-n in a name stays distinguishable from an escaped newline.
    EXPECT_EQ(EscapeField("\\n"), "\\\\n");
    EXPECT_EQ(EscapeField("B\xc3\xbcro \xff ~"), "B\xc3\xbcro \xff ~");
    EXPECT_EQ(EscapeField(""), "");
    // C1 controls: U+009B (CSI) in UTF-8, and a lone 0x9B as an 8-bit terminal takes
    // it; U+00A0 and a lone 0xE9 are characters.
    EXPECT_EQ(EscapeField("a\xc2\x9b"
                          "2Jb\x9b"
                          "2J\xc2\x80"),
              "a\\xc2\\x9b2Jb\\x9b2J\\xc2\\x80");
    EXPECT_EQ(EscapeField("\xc2\xa0\xe9t\xc3\xa9"), "\xc2\xa0\xe9t\xc3\xa9");
    EXPECT_EQ(DumpJson({{"name", "a\xc2\x9b"
                                 "2J\x1b\xc2\xa0"}}),
              "{\"name\":\"a\\u009b2J\\u001b\xc2\xa0\"}");

    DeviceRecord device;
    memset(&device, 0, sizeof device);
    strcpy(device.name, "Two\tcolumns\nand a line");
    strcpy(device.address, "198.51.100.20");
    strcpy(device.model, "ZKM\x1b[2J");
    device.interfaceIndex = 1;
    EXPECT_EQ(DeviceLine(device), "Two\\tcolumns\\nand a line\t198.51.100.20\t\t\t\tZKM\\x1b[2J\t1");
}

TEST(KavronctlText, OnlyCanonicalDottedDecimalNamesADevice)
{
    for (const char* good : {"198.51.100.20", "0.0.0.0", "255.255.255.255", "10.0.100.9"})
        EXPECT_TRUE(IsCanonicalAddress(good)) << good;
    for (const char* bad : {"01.2.3.4", "1.2.3.00", "1.2.3", "1.2.3.4.5", "1..3.4", ".1.2.3", "1.2.3.4.", "256.1.1.1",
                            "1.2.3.1000", "+1.2.3.4", "-1.2.3.4", " 1.2.3.4", "1.2.3.4 ", "1.2. 3.4", "0x1.2.3.4", ""})
        EXPECT_FALSE(IsCanonicalAddress(bad)) << bad;
}

TEST(KavronctlText, PortIsDhcpOrAddressNetmaskAndAnOptionalGateway)
{
    PortArgument port;
    std::string error;
    ASSERT_TRUE(ParsePortArgument("dhcp", &port, &error));
    EXPECT_TRUE(port.given);
    EXPECT_TRUE(port.dhcp);

    ASSERT_TRUE(ParsePortArgument("203.0.113.21/255.255.255.0", &port, &error));
    EXPECT_FALSE(port.dhcp);
    EXPECT_FALSE(port.ip.blank);
    EXPECT_EQ(port.ip.octets[3], 21);
    EXPECT_EQ(port.netmask.octets[2], 255);
    EXPECT_TRUE(port.gateway.blank);
    ASSERT_TRUE(ParsePortArgument("203.0.113.21/255.255.255.0/203.0.113.1", &port, &error));
    EXPECT_FALSE(port.gateway.blank);
    EXPECT_EQ(port.gateway.octets[3], 1);

    for (const char* bad : {"DHCP", "", "203.0.113.21", "203.0.113.21/", "203.0.113.21/24", "1.2.3.4/1.2.3.4/1.2.3.4/1",
                            "203.0.113.021/255.255.255.0", "203.0.113.21/255.255.255.0/"}) {
        PortArgument untouched;
        EXPECT_FALSE(ParsePortArgument(bad, &untouched, &error)) << bad;
        EXPECT_FALSE(untouched.given) << bad;
        EXPECT_FALSE(error.empty()) << bad;
    }
}

TEST(KavronctlText, PipedCredentialsAreUtf8WhenTheyValidateAndReachWindowsInItsCodePage)
{
    for (const char* utf8 : {"", "plain", "caf\xc3\xa9", "\xe2\x82\xac", "\xf0\x9f\x94\x91"})
        EXPECT_TRUE(IsUtf8(utf8)) << utf8;
    // Latin-1/OEM bytes, overlong forms, a surrogate, past U+10FFFF, cut short.
    for (const char* other :
         {"caf\xe9", "\x82t\x82", "\xc0\xaf", "\xe0\x80\xaf", "\xed\xa0\x80", "\xf4\x90\x80\x80", "\xc3"})
        EXPECT_FALSE(IsUtf8(other)) << other;
    std::string withBom = "\xef\xbb\xbf"
                          "caf\xc3\xa9";
    EXPECT_TRUE(PipedLineIsUtf8(&withBom));
    EXPECT_EQ(withBom, "caf\xc3\xa9");

#ifdef _WIN32
    // What the window's login dialog sends for "café" in code page 1252 is what a
    // console or file gives after the conversion: typed at a console (read as UTF-16,
    // handed on as UTF-8), piped as UTF-8 with or without a byte order mark, or piped in
    // the console's code page 850.
    std::string system;
    ASSERT_TRUE(CredentialForCodePage("caf\xc3\xa9", 1252, &system));
    EXPECT_EQ(system, "caf\xe9");
    EXPECT_EQ(PipedLineToUtf8("\xef\xbb\xbf"
                              "caf\xc3\xa9",
                              850),
              "caf\xc3\xa9");
    EXPECT_EQ(PipedLineToUtf8("caf\x82", 850), "caf\xc3\xa9");
    // What 1252 lacks is refused, not sent as "?" or as a best-fit look-alike ("a" for
    // U+0101); 1250 has the same character, so the refusal follows the code page.
    EXPECT_FALSE(CredentialForCodePage("\xc5\x81odz", 1252, &system));
    EXPECT_FALSE(CredentialForCodePage("\xc4\x81", 1252, &system));
    ASSERT_TRUE(CredentialForCodePage("\xc5\x81odz", 1250, &system));
    EXPECT_EQ(system, "\xa3odz");
    EXPECT_FALSE(CredentialForCodePage("caf\xe9", 1252, &system));  // not UTF-8 at all
    // Windows' message in 1252 ("é" 0xE9) as a console in 850 shows it (0x82).
    EXPECT_EQ(RecodeForDisplay("Acc\xe8s refus\xe9", 1252, 850), "Acc\x8as refus\x82");
#else
    // Natively the bytes go to the device as they came.
    std::string system;
    ASSERT_TRUE(CredentialForSystem("caf\xe9", &system));
    EXPECT_EQ(system, "caf\xe9");
#endif
}

#ifndef _WIN32
// A child reads a hidden line on a new pseudo-terminal; the parent types, or sends
// Ctrl+C, and reads the terminal's settings through its own handle on the same terminal.
struct HiddenRead {
    int status = 0;
    bool echoWhileReading = true;
    bool echoAfter = false;
    std::string shown;  // what the terminal showed
};

HiddenRead RunHiddenRead(const char* typed)
{
    HiddenRead result;
    int master = -1;
    const pid_t child = forkpty(&master, nullptr, nullptr, nullptr);
    if (child == 0) {
        std::string line;
        const bool read = ReadHiddenLine("Password: ", &line);
        _exit(read ? (line == "s3cret" ? 10 : 11) : 12);
    }
    if (child < 0)
        return result;
    const int slave = open(ptsname(master), O_RDWR | O_NOCTTY);  // keeps the terminal after the child
    std::string shown;
    char buffer[256];
    while (shown.find("Password: ") == std::string::npos) {
        const ssize_t n = read(master, buffer, sizeof buffer);
        if (n <= 0)
            break;
        shown.append(buffer, static_cast<size_t>(n));
    }
    // Typed only once the echo is off: switching it off discards what was typed before.
    termios settings;
    for (int wait = 0; wait < 200; ++wait) {
        tcgetattr(slave, &settings);
        if ((settings.c_lflag & ECHO) == 0)
            break;
        usleep(10000);
    }
    result.echoWhileReading = (settings.c_lflag & ECHO) != 0;
    const ssize_t written = write(master, typed, strlen(typed));
    EXPECT_EQ(written, static_cast<ssize_t>(strlen(typed)));
    int waited = 0;
    while (waitpid(child, &result.status, WNOHANG) == 0) {
        if (++waited == 300) {  // three seconds: a reader that never returns
            kill(child, SIGKILL);
            waitpid(child, &result.status, 0);
            ADD_FAILURE() << "the hidden read did not end";
            break;
        }
        usleep(10000);
    }
    fd_set readable;
    timeval none = {0, 0};
    FD_ZERO(&readable);
    FD_SET(master, &readable);
    while (select(master + 1, &readable, nullptr, nullptr, &none) > 0) {
        const ssize_t n = read(master, buffer, sizeof buffer);
        if (n <= 0)
            break;
        shown.append(buffer, static_cast<size_t>(n));
    }
    result.shown = shown;
    tcgetattr(slave, &settings);
    result.echoAfter = (settings.c_lflag & ECHO) != 0;
    close(slave);
    close(master);
    return result;
}

TEST(KavronctlText, HiddenPromptRestoresTheTerminalOnEveryWayOut)
{
    const HiddenRead line = RunHiddenRead("s3cret\n");
    EXPECT_FALSE(line.echoWhileReading);
    EXPECT_TRUE(line.echoAfter);
    ASSERT_TRUE(WIFEXITED(line.status));
    EXPECT_EQ(WEXITSTATUS(line.status), 10);
    EXPECT_EQ(line.shown.find("s3cret"), std::string::npos) << line.shown;

    const HiddenRead ended = RunHiddenRead("\x04");  // Ctrl+D: end of input
    EXPECT_TRUE(ended.echoAfter);
    ASSERT_TRUE(WIFEXITED(ended.status));
    EXPECT_EQ(WEXITSTATUS(ended.status), 12);

    // Ctrl+C: the process ends by the signal, as it would have, with the echo back on.
    const HiddenRead interrupted = RunHiddenRead("s3\x03");
    EXPECT_FALSE(interrupted.echoWhileReading);
    EXPECT_TRUE(interrupted.echoAfter);
    ASSERT_TRUE(WIFSIGNALED(interrupted.status));
    EXPECT_EQ(WTERMSIG(interrupted.status), SIGINT);
}
#endif

}  // namespace
