#include "process_tree.hpp"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <stdexcept>
#include <thread>
#include <unordered_set>

extern char** environ;

namespace ph::bench {
namespace {

namespace fs = std::filesystem;

// The parent's pid from /proc/PID/stat; 0 when it cannot be read.
pid_t parent_of(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    if (!std::getline(stat, line)) return 0;
    // The name, in parentheses, may hold spaces: the fields after it are plain.
    const auto close = line.rfind(')');
    if (close == std::string::npos) return 0;
    std::istringstream rest(line.substr(close + 1));
    char state = 0;
    pid_t parent = 0;
    rest >> state >> parent;
    return parent;
}

bool alive(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    if (!std::getline(stat, line)) return false;
    const auto close = line.rfind(')');
    return close != std::string::npos && close + 2 < line.size() && line[close + 2] != 'Z';
}

void reap_what_ended() {
    while (waitpid(-1, nullptr, WNOHANG) > 0) {
    }
}

std::int64_t kib_field(const std::string& line) {
    std::istringstream in(line.substr(line.find(':') + 1));
    std::int64_t value = 0;
    in >> value;
    return value;
}

bool starts_with(const std::string& line, const char* prefix) { return line.rfind(prefix, 0) == 0; }

// A line of /proc/PID/smaps that starts a mapping: "start-end perms offset dev inode [path]".
bool is_mapping_header(const std::string& line) {
    const auto dash = line.find('-');
    return dash != std::string::npos && dash > 0 &&
           std::all_of(line.begin(), line.begin() + static_cast<long>(dash),
                       [](char c) { return std::isxdigit(static_cast<unsigned char>(c)); });
}

std::string mapping_name(const std::string& header) {
    std::istringstream in(header);
    std::string range, perms, offset, device, inode, path;
    in >> range >> perms >> offset >> device >> inode;
    std::getline(in, path);
    path.erase(0, path.find_first_not_of(' '));
    return path.empty() ? "[anon]" : path;
}

}  // namespace

std::int64_t footprint_kib(const std::vector<pid_t>& pids) {
    constexpr std::uint64_t kPresent = std::uint64_t{1} << 63;
    constexpr std::uint64_t kFrameMask = (std::uint64_t{1} << 55) - 1;
    const auto page = static_cast<std::uint64_t>(sysconf(_SC_PAGESIZE));
    std::unordered_set<std::uint64_t> frames;
    std::vector<std::uint64_t> entries;
    for (const pid_t pid : pids) {
        std::ifstream maps("/proc/" + std::to_string(pid) + "/maps");
        const int pagemap = open(("/proc/" + std::to_string(pid) + "/pagemap").c_str(), O_RDONLY | O_CLOEXEC);
        if (pagemap < 0) continue;
        for (std::string line; std::getline(maps, line);) {
            std::uint64_t start = 0, end = 0;
            if (std::sscanf(line.c_str(), "%lx-%lx", &start, &end) != 2 || end <= start) continue;
            entries.resize((end - start) / page);
            const auto bytes = static_cast<ssize_t>(entries.size() * sizeof(std::uint64_t));
            if (pread(pagemap, entries.data(), static_cast<std::size_t>(bytes),
                      static_cast<off_t>(start / page * sizeof(std::uint64_t))) != bytes)
                continue;  // [vsyscall] and the like cannot be read
            for (const std::uint64_t entry : entries)
                if ((entry & kPresent) && (entry & kFrameMask)) frames.insert(entry & kFrameMask);
        }
        close(pagemap);
    }
    return static_cast<std::int64_t>(frames.size() * page / 1024);
}

void adopt_orphans() { prctl(PR_SET_CHILD_SUBREAPER, 1); }

Started start_process(const std::vector<std::string>& argv, const std::string& log) {
    std::vector<char*> args;
    for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&files, STDOUT_FILENO, log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    posix_spawn_file_actions_adddup2(&files, STDOUT_FILENO, STDERR_FILENO);
    Started started;
    started.at = Clock::now();
    const int error = posix_spawn(&started.pid, args[0], &files, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&files);
    if (error != 0) throw std::runtime_error("cannot start " + argv[0]);
    return started;
}

std::vector<pid_t> process_tree(pid_t root) {
    std::multimap<pid_t, pid_t> children;
    for (const auto& entry : fs::directory_iterator("/proc")) {
        const std::string name = entry.path().filename();
        if (name.empty() || !std::all_of(name.begin(), name.end(), ::isdigit)) continue;
        const pid_t pid = std::stoi(name);
        children.emplace(parent_of(pid), pid);
    }
    std::vector<pid_t> tree{root};
    for (std::size_t next = 0; next < tree.size(); ++next) {
        const auto [first, last] = children.equal_range(tree[next]);
        for (auto it = first; it != last; ++it) tree.push_back(it->second);
    }
    return tree;
}

std::string process_name(pid_t pid) {
    std::ifstream comm("/proc/" + std::to_string(pid) + "/comm");
    std::string name;
    std::getline(comm, name);
    return name;
}

Memory memory_of(pid_t pid) {
    std::ifstream rollup("/proc/" + std::to_string(pid) + "/smaps_rollup");
    Memory memory;
    for (std::string line; std::getline(rollup, line);) {
        if (starts_with(line, "Pss:")) memory.pss_kib = kib_field(line);
        else if (starts_with(line, "Pss_Anon:")) memory.pss_anon_kib = kib_field(line);
        else if (starts_with(line, "Pss_File:")) memory.pss_file_kib = kib_field(line);
        else if (starts_with(line, "Pss_Shmem:")) memory.pss_shmem_kib = kib_field(line);
        else if (starts_with(line, "Rss:")) memory.rss_kib = kib_field(line);
    }
    return memory;
}

std::vector<Mapping> mappings_of(pid_t pid) {
    std::ifstream smaps("/proc/" + std::to_string(pid) + "/smaps");
    std::vector<Mapping> all;
    for (std::string line; std::getline(smaps, line);) {
        if (is_mapping_header(line)) all.push_back({mapping_name(line)});
        else if (all.empty()) continue;
        else if (starts_with(line, "Size:")) all.back().size_kib = kib_field(line);
        else if (starts_with(line, "Pss:")) all.back().pss_kib = kib_field(line);
        else if (starts_with(line, "Rss:")) all.back().rss_kib = kib_field(line);
    }
    // A file's mappings (text, data, read-only parts) are one entry; anonymous
    // mappings stay apart, since each big one is a buffer of its own.
    std::vector<Mapping> merged;
    std::map<std::string, std::size_t> by_file;
    for (Mapping& mapping : all) {
        const bool file = mapping.what.front() == '/';
        const auto found = file ? by_file.find(mapping.what) : by_file.end();
        if (found == by_file.end()) {
            if (file) by_file[mapping.what] = merged.size();
            merged.push_back(std::move(mapping));
            continue;
        }
        Mapping& into = merged[found->second];
        into.size_kib += mapping.size_kib;
        into.pss_kib += mapping.pss_kib;
        into.rss_kib += mapping.rss_kib;
        ++into.count;
    }
    std::sort(merged.begin(), merged.end(), [](const Mapping& a, const Mapping& b) { return a.pss_kib > b.pss_kib; });
    return merged;
}

void end_process_tree(pid_t root, std::chrono::milliseconds grace) {
    kill(root, SIGTERM);
    const auto deadline = Clock::now() + grace;
    while (alive(root) && Clock::now() < deadline) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    if (alive(root)) kill(root, SIGKILL);
    waitpid(root, nullptr, 0);
    // Helpers end by themselves once their parent is gone; as the reaper of
    // orphans we see them below us, and end those that linger.
    auto lingering = [] {
        std::vector<pid_t> below = process_tree(getpid());
        std::erase(below, getpid());
        std::erase_if(below, [](pid_t pid) { return !alive(pid); });
        return below;
    };
    const auto helpers_deadline = Clock::now() + grace;
    while (!lingering().empty() && Clock::now() < helpers_deadline) {
        reap_what_ended();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    for (pid_t pid : lingering()) kill(pid, SIGKILL);
    while (!lingering().empty()) {
        reap_what_ended();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    reap_what_ended();
}

}  // namespace ph::bench
