// Starts the real simulator on a pseudo-terminal and talks to it like a serial port.
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <poll.h>
#include <string>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

std::string env(const char* name) {
    const char* v = std::getenv(name);
    return v ? v : "";
}

// A raw line: the pty carries the bytes as they are, whatever the line settings.
int openPort(const std::string& path) {
    int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY);
    termios t{};
    if (fd >= 0 && tcgetattr(fd, &t) == 0) {
        cfmakeraw(&t);
        tcsetattr(fd, TCSANOW, &t);
    }
    return fd;
}

// Sends a framed request and reads until an ETX or two seconds without it.
std::string request(int fd, const std::string& body) {
    std::string frame = "\x12," + body + ",\x03\r";
    EXPECT_EQ(write(fd, frame.data(), frame.size()), static_cast<ssize_t>(frame.size()));
    std::string in;
    auto end = std::chrono::steady_clock::now() + 2s;
    while (in.find('\x03') == std::string::npos && std::chrono::steady_clock::now() < end) {
        pollfd p{fd, POLLIN, 0};
        char buffer[256];
        const ssize_t n = poll(&p, 1, 50) > 0 ? read(fd, buffer, sizeof buffer) : 0;
        if (n > 0)
            in.append(buffer, static_cast<size_t>(n));
    }
    return in;
}

// The simulator on a pty below the test's temp folder, standard input at its
// end; stopped with SIGTERM unless the test stopped it.
struct RunningSim {
    explicit RunningSim(const char* name, const char* speed = "1") {
        const fs::path bin = fs::path(env("VELMARA_BIN_DIR")) / "velmara-charger-sim";
        link = fs::path(env("VELMARA_TEST_TMP")) / name;
        fs::create_directories(link.parent_path());
        fs::remove(link);
        pid = fork();
        if (pid == 0) {
            int null = ::open("/dev/null", O_RDWR);
            dup2(null, STDIN_FILENO);
            execl(bin.c_str(), bin.c_str(), "--link", link.c_str(), "--speed", speed,
                  static_cast<char*>(nullptr));
            _exit(127);
        }
        for (int i = 0; i < 500 && !fs::is_symlink(link); ++i)
            std::this_thread::sleep_for(10ms);
    }
    ~RunningSim() {
        if (pid > 0) {
            kill(pid, SIGTERM);
            waitpid(pid, nullptr, 0);
        }
    }
    pid_t pid = -1;
    fs::path link;
};

TEST(SimLink, AnswersOnThePtyAndRemovesTheLinkOnSigterm) {
    ASSERT_FALSE(env("VELMARA_TEST_TMP").empty());
    RunningSim sim("ttyCharger", "60");
    ASSERT_TRUE(fs::is_symlink(sim.link)) << env("VELMARA_BIN_DIR");

    int fd = openPort(sim.link.string());
    ASSERT_GE(fd, 0) << std::strerror(errno);
    EXPECT_EQ(request(fd, "001,M"), std::string("\x14,001,M,SA,\x03"));
    // the program closes and reopens its port: the line must not hang up
    ::close(fd);
    fd = openPort(sim.link.string());
    ASSERT_GE(fd, 0);
    const std::string program = "002,P,A06,M01,Z03,F0,W30,L01000,E01000,V11100,D09000";
    EXPECT_EQ(request(fd, program), "\x14," + program + ",G1,\x03");
    std::string charging = request(fd, "002,M");
    EXPECT_EQ(charging.substr(0, 11), "\x14,002,M,SL,") << charging;
    ::close(fd);

    // end of standard input did not stop it; SIGTERM does, and takes the link along
    ASSERT_EQ(waitpid(sim.pid, nullptr, WNOHANG), 0);
    kill(sim.pid, SIGTERM);
    int status = 0;
    ASSERT_EQ(waitpid(sim.pid, &status, 0), sim.pid);
    sim.pid = -1;
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_FALSE(fs::exists(fs::symlink_status(sim.link)));
}

TEST(SimLink, AClientThatDiedLeavesTheLineAsItWasForTheNextOne) {
    RunningSim sim("ttyRestart");
    ASSERT_TRUE(fs::is_symlink(sim.link));

    // A program opens the port for itself, turns on echo and line editing, and is
    // killed before it can put anything back.
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t client = fork();
    ASSERT_GE(client, 0);
    if (client == 0) {
        int fd = ::open(sim.link.c_str(), O_RDWR | O_NOCTTY);
        termios t{};
        if (fd < 0 || tcgetattr(fd, &t) != 0)
            _exit(1);
        t.c_lflag |= ICANON | ECHO | ECHOE | ISIG;
        t.c_iflag |= ICRNL | IXON | ISTRIP;
        if (tcsetattr(fd, TCSANOW, &t) != 0 || ioctl(fd, TIOCEXCL) != 0)
            _exit(1);
        if (write(ready[1], "r", 1) != 1)
            _exit(1);
        pause();
        _exit(0);
    }
    ::close(ready[1]);
    char byte = 0;
    ASSERT_EQ(read(ready[0], &byte, 1), 1);
    ::close(ready[0]);
    kill(client, SIGKILL);
    ASSERT_EQ(waitpid(client, nullptr, 0), client);

    // The next program opens the port as it is and is answered.
    int fd = ::open(sim.link.c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(fd, 0) << std::strerror(errno);
    EXPECT_EQ(request(fd, "001,M"), std::string("\x14,001,M,SA,\x03"));
    EXPECT_EQ(request(fd, "001,D"), std::string("\x14,001,D,\x03"));
    ::close(fd);
}

} // namespace
