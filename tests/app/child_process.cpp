#include "child_process.hpp"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <thread>

extern char** environ;

namespace ph::test {
namespace {

using namespace std::chrono_literals;

int shell_style_code(int status) {
    if (WIFEXITED(status)) return WEXITSTATUS(status);
    if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
    return -1;
}

// argv and envp as posix_spawn wants them, pointing into owned strings.
class CStrings {
public:
    explicit CStrings(std::vector<std::string> strings) : strings_(std::move(strings)) {
        for (std::string& s : strings_) pointers_.push_back(s.data());
        pointers_.push_back(nullptr);
    }
    char* const* get() noexcept { return pointers_.data(); }

private:
    std::vector<std::string> strings_;
    std::vector<char*> pointers_;
};

std::vector<std::string> environment_with(const std::map<std::string, std::string>& changes) {
    std::vector<std::string> result;
    for (char** entry = environ; *entry; ++entry) {
        const std::string item = *entry;
        const std::string name = item.substr(0, item.find('='));
        if (!changes.contains(name)) result.push_back(item);
    }
    for (const auto& [name, value] : changes) result.push_back(name + "=" + value);
    return result;
}

class SpawnActions {
public:
    SpawnActions() { posix_spawn_file_actions_init(&actions_); }
    ~SpawnActions() { posix_spawn_file_actions_destroy(&actions_); }
    SpawnActions(const SpawnActions&) = delete;
    SpawnActions& operator=(const SpawnActions&) = delete;
    posix_spawn_file_actions_t* get() noexcept { return &actions_; }

private:
    posix_spawn_file_actions_t actions_;
};

}  // namespace

ChildProcess::ChildProcess(const std::string& program, const StartOptions& options) {
    std::vector<std::string> argv{program};
    argv.insert(argv.end(), options.arguments.begin(), options.arguments.end());
    CStrings args(std::move(argv));
    CStrings env(environment_with(options.environment));
    SpawnActions actions;
    if (!options.working_folder.empty())
        posix_spawn_file_actions_addchdir_np(actions.get(), options.working_folder.c_str());
    if (!options.output_file.empty())
        posix_spawn_file_actions_addopen(actions.get(), STDOUT_FILENO, options.output_file.c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int error = posix_spawnp(&pid_, program.c_str(), actions.get(), nullptr, args.get(), env.get());
    if (error != 0) throw std::runtime_error("cannot start " + program + ": " + std::strerror(error));
}

ChildProcess::~ChildProcess() {
    if (!running()) return;
    kill(pid_, SIGTERM);
    if (!wait_for_exit(5s)) {
        kill(pid_, SIGKILL);
        wait_for_exit(5s);
    }
}

std::optional<int> ChildProcess::wait_for_exit(std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!exit_code_) {
        int status = 0;
        const pid_t done = waitpid(pid_, &status, WNOHANG);
        if (done == pid_) {
            exit_code_ = shell_style_code(status);
        } else if (done < 0 && errno != EINTR) {
            exit_code_ = -1;  // not our child any more: nothing left to wait for
        } else {
            if (std::chrono::steady_clock::now() >= deadline) break;
            std::this_thread::sleep_for(5ms);
        }
    }
    return exit_code_;
}

int run_to_end(const std::vector<std::string>& command) {
    StartOptions options;
    options.arguments.assign(command.begin() + 1, command.end());
    ChildProcess child(command.front(), options);
    return child.wait_for_exit(std::chrono::minutes(1)).value_or(-1);
}

}  // namespace ph::test
