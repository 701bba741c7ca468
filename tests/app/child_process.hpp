// Another program run from a test: started with the arguments, folder and
// environment a desktop would give it, waited for, and never left behind.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace ph::test {

struct StartOptions {
    std::vector<std::string> arguments;              // after the program path
    std::string working_folder;                      // empty: this process's
    std::map<std::string, std::string> environment;  // set on top of this process's
    std::string output_file;                         // empty: stdout stays this process's
};

class ChildProcess {
public:
    // Throws std::runtime_error when the program cannot be started.
    ChildProcess(const std::string& program, const StartOptions& options = {});
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    // A process still running is terminated and reaped.
    ~ChildProcess();

    pid_t pid() const noexcept { return pid_; }

    // The exit code once the process has ended, as a shell reports it (128 +
    // the signal for a killed one); empty while it still runs after `timeout`.
    std::optional<int> wait_for_exit(std::chrono::milliseconds timeout);
    bool running() { return !wait_for_exit(std::chrono::milliseconds(0)); }

private:
    pid_t pid_ = -1;
    std::optional<int> exit_code_;
};

// Runs a command (found on PATH) to its end; its exit code, as above.
int run_to_end(const std::vector<std::string>& command);

}  // namespace ph::test
