// The pricehistory-sample-service program, run as a child process.
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <arpa/inet.h>

#include <chrono>
#include <csignal>
#include <string>
#include <vector>

#include "fetch.hpp"

extern char** environ;

namespace ph::sample {
namespace {

class Fd {
public:
    explicit Fd(int fd = -1) : fd_(fd) {}
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    ~Fd() { reset(); }
    void reset(int fd = -1) {
        if (fd_ >= 0) ::close(fd_);
        fd_ = fd;
    }
    int get() const { return fd_; }

private:
    int fd_;
};

// A port that was free a moment ago: the kernel's pick for a socket we then close.
std::uint16_t free_port() {
    Fd probe(::socket(AF_INET, SOCK_STREAM, 0));
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    if (::bind(probe.get(), reinterpret_cast<sockaddr*>(&address), size) != 0) return 0;
    ::getsockname(probe.get(), reinterpret_cast<sockaddr*>(&address), &size);
    return ntohs(address.sin_port);
}

// The program with its standard output (and error) read through a pipe;
// a child still running at the end is killed.
class Program {
public:
    explicit Program(std::vector<std::string> arguments) {
        int pipe_ends[2];
        if (::pipe(pipe_ends) != 0) return;
        output_.reset(pipe_ends[0]);
        Fd write_end(pipe_ends[1]);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, write_end.get(), STDOUT_FILENO);
        posix_spawn_file_actions_adddup2(&actions, write_end.get(), STDERR_FILENO);
        posix_spawn_file_actions_addclose(&actions, output_.get());
        arguments.insert(arguments.begin(), SAMPLE_SERVICE_PROGRAM);
        std::vector<char*> argv;
        for (auto& argument : arguments) argv.push_back(argument.data());
        argv.push_back(nullptr);
        if (posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid_ = -1;
        posix_spawn_file_actions_destroy(&actions);
    }
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;
    ~Program() {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
    }

    bool started() const { return pid_ > 0; }

    // Reads output until it holds `wanted` or the child stops writing for `limit`.
    bool wait_for_output(std::string_view wanted, std::chrono::milliseconds limit = std::chrono::seconds(20)) {
        while (text_.find(wanted) == std::string::npos) {
            pollfd ready{output_.get(), POLLIN, 0};
            if (::poll(&ready, 1, static_cast<int>(limit.count())) <= 0) return false;
            char buffer[4096];
            const auto n = ::read(output_.get(), buffer, sizeof buffer);
            if (n <= 0) return text_.find(wanted) != std::string::npos;
            text_.append(buffer, static_cast<std::size_t>(n));
        }
        return true;
    }
    const std::string& output() const { return text_; }

    void signal(int number) const { ::kill(pid_, number); }

    // The exit status, or -1 if the child did not exit normally.
    int wait_for_exit() {
        int status = 0;
        if (::waitpid(pid_, &status, 0) != pid_) return -1;
        pid_ = -1;
        wait_for_output("\x01", std::chrono::milliseconds(0));  // collect the last words
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

private:
    pid_t pid_ = -1;
    Fd output_;
    std::string text_;
};

class SampleServiceProgramTest : public testing::TestWithParam<int> {};

TEST_P(SampleServiceProgramTest, ServesAndStopsCleanlyOnTheSignal) {
    const std::uint16_t port = free_port();
    ASSERT_NE(port, 0);
    Program program({"--port", std::to_string(port)});
    ASSERT_TRUE(program.started());
    const std::string origin = "http://127.0.0.1:" + std::to_string(port);
    ASSERT_TRUE(program.wait_for_output("listening on " + origin + "/")) << program.output();

    const auto reply = test::fetch(origin + "/his.php?hisurl=https://a.example/p?id=1&y=2");
    EXPECT_EQ(reply.status, 200u);
    EXPECT_NE(reply.body.find("示例数据"), std::string::npos);
    EXPECT_EQ(test::fetch(origin + "/elsewhere").status, 404u);
    EXPECT_TRUE(program.wait_for_output("GET /his.php?hisurl=https://a.example/p?id=1&y=2 HTTP/1.1\n"))
        << program.output();
    EXPECT_TRUE(program.wait_for_output("GET /elsewhere HTTP/1.1\n")) << program.output();

    program.signal(GetParam());
    EXPECT_EQ(program.wait_for_exit(), 0) << program.output();
}

INSTANTIATE_TEST_SUITE_P(Signals, SampleServiceProgramTest, testing::Values(SIGTERM, SIGINT),
                         [](const auto& info) { return info.param == SIGTERM ? "Term" : "Interrupt"; });

TEST(SampleServiceProgramArgumentsTest, RefusesABadPort) {
    for (const char* port : {"x", "65536", "-1", ""}) {
        Program program({"--port", port});
        ASSERT_TRUE(program.started());
        EXPECT_EQ(program.wait_for_exit(), 2) << port;
        EXPECT_NE(program.output().find("usage:"), std::string::npos) << port;
    }
}

TEST(SampleServiceProgramArgumentsTest, FailsWhenThePortIsTaken) {
    const std::uint16_t port = free_port();
    Program first({"--port=" + std::to_string(port)});
    ASSERT_TRUE(first.wait_for_output("listening on")) << first.output();
    Program second({"--port", std::to_string(port)});
    EXPECT_EQ(second.wait_for_exit(), 1);
    EXPECT_NE(second.output().find("cannot listen on 127.0.0.1:" + std::to_string(port)), std::string::npos)
        << second.output();
}

}  // namespace
}  // namespace ph::sample
