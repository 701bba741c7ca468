// Processes the benchmark starts, the processes they start in turn, what
// they hold in memory (proportional set size, from /proc) and their end.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace ph::bench {

using Clock = std::chrono::steady_clock;

// Makes this process the reaper of every orphaned descendant, so that a
// started program's helpers can be found and waited for after it ends.
void adopt_orphans();

struct Started {
    pid_t pid = 0;
    Clock::time_point at;  // right before the fork
};

// Starts `argv` with our environment, its output going to `log` (appended).
Started start_process(const std::vector<std::string>& argv, const std::string& log);

// `root` and every process below it, by parent links in /proc.
std::vector<pid_t> process_tree(pid_t root);

// The short name a process gives itself (/proc/PID/comm).
std::string process_name(pid_t pid);

struct Memory {
    std::int64_t pss_kib = 0, pss_anon_kib = 0, pss_file_kib = 0, pss_shmem_kib = 0, rss_kib = 0;
};
// From /proc/PID/smaps_rollup; all zero when the process is gone.
Memory memory_of(pid_t pid);

// The distinct physical pages that `pids` have in memory, in KiB: each page
// once, however many of them map it. It is what their PSS adds up to when
// nothing else on the machine maps the same pages (libraries above all);
// reading it needs root (page frame numbers in /proc/PID/pagemap).
std::int64_t footprint_kib(const std::vector<pid_t>& pids);

struct Mapping {
    std::string what;         // the file, or [heap], [stack], [anon] ...
    std::int64_t size_kib = 0;
    std::int64_t pss_kib = 0;
    std::int64_t rss_kib = 0;
    int count = 1;            // mappings of the same file are added up
};
// The process's mappings from /proc/PID/smaps, those of one file added up,
// largest proportional set size first.
std::vector<Mapping> mappings_of(pid_t pid);

// Ends `root` (started by us) with SIGTERM, SIGKILL after `grace`, then
// every process left below us (its helpers, orphaned to us: see
// adopt_orphans), and waits until all of them are gone.
void end_process_tree(pid_t root, std::chrono::milliseconds grace);

}  // namespace ph::bench
