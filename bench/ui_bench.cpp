// Start-up, query and memory figures of the built program, measured from
// outside as a user would see them, side by side with a browser showing the
// same page. Runs on a private X server without a window manager (see
// bench/run.sh). Prints Markdown tables.
//
// ui_bench --program PATH [--program PATH...] [--runs N] [--browser PATH|none] [--logs DIR]
//   More programs (other builds of it) are measured in the same rounds and
//   get a column each; the goals are for the first. The logs folder gets
//   what the programs and the browser print.
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <iostream>
#include <map>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "core/codepage.hpp"
#include "core/texts.hpp"
#include "figures.hpp"
#include "process_tree.hpp"
#include "sample_service/service_host.hpp"
#include "test_http_server.hpp"
#include "timed_service.hpp"
#include "ui/window_definition.hpp"
#include "x_screen.hpp"

namespace ph::bench {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

#ifndef PRICE_SERVICE_HOST
#error "PRICE_SERVICE_HOST must name the program's service host"
#endif
// The harness is the service: it listens where the program was built to ask.
constexpr std::uint16_t kServicePort = sample::port_of_host(PRICE_SERVICE_HOST);
constexpr int kPageRows = 1200;
constexpr int kFirstBandRow = 235;  // the frame shows page rows 235..810 after a query
constexpr int kViewWidth = 960, kViewHeight = 32627;  // the web view's size after a query
constexpr const char* kLink = "https://shop.example/item?id=7";
constexpr auto kSettle = 1500ms;        // a user's pause between the window showing and the first click
constexpr auto kMemorySettle = 1000ms;  // from painted to the memory reading
constexpr auto kTimeout = 60s;

double ms_between(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double, std::milli>(to - from).count();
}
double mb(std::int64_t kib) { return static_cast<double>(kib) / 1000.0; }  // /proc's kB, as the goals count them

struct Options {
    std::vector<std::string> programs;  // the first is the one the goals are for; more are compared beside it
    std::string browser = "/usr/bin/chromium";
    std::string logs = "/tmp";
    int runs = 15;
};

// A process's name for the tables: the engine's helpers by their full name,
// the browser's by the kind it was started as.
std::string process_label(pid_t pid) {
    std::ifstream cmdline("/proc/" + std::to_string(pid) + "/cmdline");
    const std::string arguments{std::istreambuf_iterator<char>(cmdline), std::istreambuf_iterator<char>()};
    // The browser rewrites its helpers' command lines, spaces for separators.
    std::string kind;
    if (const auto at = arguments.find("--type="); at != std::string::npos)
        kind = arguments.substr(at + 7, arguments.find_first_of(std::string(" \0", 2), at) - at - 7);
    const std::string name = process_name(pid);
    if (name.rfind("WebKitWebProc", 0) == 0) return "WebKitWebProcess";
    if (name.rfind("WebKitNetwork", 0) == 0) return "WebKitNetworkProcess";
    if (name.rfind("chrom", 0) == 0) return "chromium " + (kind.empty() ? std::string("browser") : kind);
    return name;
}

struct MemoryReading {
    std::int64_t total_kib = 0;
    std::int64_t footprint_kib = 0;  // see footprint_kib()
    std::map<std::string, std::int64_t> by_process_kib;  // processes of one label added up
    std::vector<Mapping> root_mappings;                  // of the started process itself
    std::vector<Mapping> web_process_mappings;
    Memory root;
};

MemoryReading read_memory(pid_t root) {
    MemoryReading reading;
    const std::vector<pid_t> tree = process_tree(root);
    reading.footprint_kib = footprint_kib(tree);
    for (pid_t pid : tree) {
        const Memory memory = memory_of(pid);
        const std::string label = process_label(pid);
        reading.total_kib += memory.pss_kib;
        reading.by_process_kib[label] += memory.pss_kib;
        if (pid == root) {
            reading.root = memory;
            reading.root_mappings = mappings_of(pid);
        } else if (label == "WebKitWebProcess") {
            reading.web_process_mappings = mappings_of(pid);
        }
    }
    return reading;
}

// --- the program -------------------------------------------------------------

struct ProgramRun {
    std::optional<double> mapped_ms, click_to_request_ms, click_to_band_ms, start_to_band_ms;
    std::optional<MemoryReading> memory;
};

struct ProgramLayout {
    ui::Rect link_box, query_button, frame;
};

ProgramLayout program_layout() {
    const ui::WindowDefinition& window = ui::main_window_definition();
    return {ui::find_control(window, ui::Role::LinkBox)->rect, ui::find_control(window, ui::Role::QueryButton)->rect,
            ui::find_control(window, ui::Role::ViewFrame)->rect};
}

// Every row of the frame, in three columns, shows its page row of the band.
bool band_shown(XScreen& screen, Window window, const ui::Rect& frame) {
    for (const int x : {0, frame.width / 2, frame.width - 1}) {
        const std::vector<Rgb> column = screen.column(window, frame.left + x, frame.top, frame.height);
        if (static_cast<int>(column.size()) != frame.height) return false;
        for (int y = 0; y < frame.height; ++y) {
            const Rgb& p = column[static_cast<std::size_t>(y)];
            if (test::row_from_colour(p.red, p.green, p.blue) != kFirstBandRow + y) return false;
        }
    }
    return true;
}

// When the band was first seen: the start of the look that found it.
std::optional<Clock::time_point> wait_for_band(XScreen& screen, Window window, const ui::Rect& frame,
                                               Clock::time_point deadline) {
    while (Clock::now() < deadline) {
        const Clock::time_point look = Clock::now();
        if (band_shown(screen, window, frame)) return look;
        std::this_thread::sleep_for(1ms);
    }
    return std::nullopt;
}

Clock::time_point click_at(XScreen& screen, const Place& window, const ui::Rect& control) {
    screen.move_pointer(window.x + control.left + control.width / 2, window.y + control.top + control.height / 2);
    return screen.click();
}

// settled: the user clicks a while after the window shows, and the memory
// is read once the band shows; otherwise the link is typed and Query clicked
// as soon as the window maps.
ProgramRun run_program(const Options& options, const std::string& path, XScreen& screen, const TimedService& service,
                       bool settled) {
    ProgramRun run;
    const ProgramLayout layout = program_layout();
    screen.forget_mapped();
    const Started program = start_process({path}, options.logs + "/program.log");
    const auto mapped = screen.wait_for_captioned_map(to_utf8(texts::caption), program.at + kTimeout);
    if (mapped) {
        run.mapped_ms = ms_between(program.at, mapped->at);
        if (settled) std::this_thread::sleep_for(kSettle);
        const std::optional<Place> place = screen.place_of(mapped->id);
        if (place) {
            click_at(screen, *place, layout.link_box);
            screen.type(kLink);
            if (settled) std::this_thread::sleep_for(200ms);
            const Clock::time_point clicked = click_at(screen, *place, layout.query_button);
            if (const auto request = service.wait_for_history_request(clicked, clicked + kTimeout))
                run.click_to_request_ms = ms_between(clicked, request->at);
            if (const auto band = wait_for_band(screen, mapped->id, layout.frame, clicked + kTimeout)) {
                run.click_to_band_ms = ms_between(clicked, *band);
                run.start_to_band_ms = ms_between(program.at, *band);
                if (settled) {
                    std::this_thread::sleep_for(kMemorySettle);
                    run.memory = read_memory(program.pid);
                }
            }
        }
    }
    end_process_tree(program.pid, 5s);
    return run;
}

// --- the browser ---------------------------------------------------------------

struct BrowserRun {
    std::optional<double> mapped_ms, painted_ms;
    std::optional<MemoryReading> memory;
};

// The page's colour-coded rows are on screen: at least 400 rows in a row,
// down the window's middle, each the row after the one above.
bool page_shown(XScreen& screen, Window window) {
    const std::optional<Place> place = screen.place_of(window);
    if (!place || place->height < 400) return false;
    const std::vector<Rgb> column = screen.column(window, place->width / 2, 0, place->height);
    int run = 0, previous = -2;
    for (const Rgb& p : column) {
        const int row = test::row_from_colour(p.red, p.green, p.blue);
        run = (row >= 0 && row == previous + 1) ? run + 1 : (row >= 0 ? 1 : 0);
        previous = row;
        if (run >= 400) return true;
    }
    return false;
}

std::vector<std::string> browser_command(const Options& options, const std::string& profile, const std::string& url) {
    std::vector<std::string> command{options.browser,
                                     "--app=" + url,
                                     "--user-data-dir=" + profile,
                                     "--window-position=0,0",
                                     "--window-size=960,576",
                                     "--no-first-run",
                                     "--no-default-browser-check",
                                     "--disable-background-networking",
                                     "--disable-component-update",
                                     "--disable-sync",
                                     "--disable-extensions",
                                     "--disable-default-apps",
                                     "--disable-breakpad",
                                     "--disable-domain-reliability",
                                     "--disable-client-side-phishing-detection",
                                     "--no-proxy-server",
                                     "--no-service-autorun",
                                     "--metrics-recording-only",
                                     "--no-pings",
                                     "--password-store=basic",
                                     "--use-mock-keychain"};
    if (geteuid() == 0) command.emplace_back("--no-sandbox");  // it refuses to run as root otherwise
    return command;
}

BrowserRun run_browser(const Options& options, XScreen& screen) {
    BrowserRun run;
    char profile_template[] = "/tmp/ph-bench-browser-XXXXXX";
    const char* profile = mkdtemp(profile_template);
    if (!profile) return run;
    const std::string url = "http://127.0.0.1:" + std::to_string(kServicePort) + "/his.php?hisurl=" + kLink;
    screen.forget_mapped();
    const Started browser = start_process(browser_command(options, profile, url), options.logs + "/browser.log");
    if (const auto mapped = screen.wait_for_map(200, browser.at + kTimeout)) {
        run.mapped_ms = ms_between(browser.at, mapped->at);
        while (Clock::now() < browser.at + kTimeout && !run.painted_ms) {
            const Clock::time_point look = Clock::now();
            for (Window window : screen.mapped())
                if (page_shown(screen, window)) {
                    run.painted_ms = ms_between(browser.at, look);
                    break;
                }
            std::this_thread::sleep_for(1ms);
        }
        if (run.painted_ms) {
            std::this_thread::sleep_for(kMemorySettle);
            run.memory = read_memory(browser.pid);
        }
    }
    end_process_tree(browser.pid, 5s);
    std::error_code ignored;
    fs::remove_all(profile, ignored);
    return run;
}

// --- the tables ------------------------------------------------------------------

template <typename Run, typename Get>
std::optional<Summary> summary_of(const std::vector<Run>& runs, Get get) {
    std::vector<double> values;
    for (const Run& run : runs)
        if (const std::optional<double> value = get(run)) values.push_back(*value);
    return summarise(values);
}

// Not a process name: the distinct pages of the whole tree.
const std::string kFootprint = "(footprint)";

template <typename Run>
std::optional<Summary> memory_summary(const std::vector<Run>& runs, const std::string& label) {
    return summary_of(runs, [&](const Run& run) -> std::optional<double> {
        if (!run.memory) return std::nullopt;
        if (label.empty()) return mb(run.memory->total_kib);
        if (label == kFootprint) return mb(run.memory->footprint_kib);
        const auto found = run.memory->by_process_kib.find(label);
        return found == run.memory->by_process_kib.end() ? 0.0 : mb(found->second);
    });
}

std::string ratio(const std::optional<Summary>& ours, const std::optional<Summary>& theirs) {
    if (!ours || !theirs || theirs->median <= 0) return "–";
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", ours->median / theirs->median);
    return text;
}

struct ProgramRuns {
    std::string path;
    std::vector<ProgramRun> settled, at_once;
};

// One line of the main table: a cell for each program, one for the browser,
// the first program's ratio to the browser, and the goal.
void row(const std::string& what, const std::vector<std::optional<Summary>>& programs,
         const std::optional<Summary>& browser, const std::string& goal) {
    std::cout << "| " << what << " | ";
    for (const auto& program : programs) std::cout << spread(program) << " | ";
    std::cout << spread(browser) << " | " << ratio(programs.front(), browser) << " | " << goal << " |\n";
}

std::string describe(const Mapping& mapping) {
    const std::string& what = mapping.what;
    constexpr std::int64_t kBackingStoreKib = std::int64_t{kViewWidth} * kViewHeight * 4 / 1024;
    if (what == "[heap]") return "malloc heap (brk area)";
    if (what == "[stack]") return "main thread's stack";
    if (what == "[anon]") {
        if (mapping.size_kib >= kBackingStoreKib && mapping.size_kib <= kBackingStoreKib + 4096)
            return "anonymous: the web view's backing store, 960 × 32627 × 4 bytes";
        if (mapping.size_kib >= 60 * 1024 && mapping.size_kib <= 66 * 1024)
            return "anonymous: a malloc arena of a thread";
        return "anonymous: malloc'd block, arena or engine heap";
    }
    if (what.rfind("/memfd:", 0) == 0) return "shared memory with another process (" + what.substr(7) + ")";
    if (what.find("/fonts/") != std::string::npos) return "font file";
    if (what.find(".so") != std::string::npos) return "library";
    if (what.find("locale") != std::string::npos) return "locale data";
    if (what.find("/dev/dri") != std::string::npos) return "graphics driver";
    if (what.find("cache") != std::string::npos) return "cache file";
    return "file";
}

void print_mappings(const std::string& title, const std::vector<Mapping>& mappings, std::size_t count) {
    std::cout << "\n" << title << "\n\n| Pss (MB) | Rss (MB) | size (MB) | mapping | what it is |\n|---:|---:|---:|---|---|\n";
    std::int64_t rest = 0;
    for (std::size_t i = 0; i < mappings.size(); ++i) {
        const Mapping& m = mappings[i];
        if (i >= count) {
            rest += m.pss_kib;
            continue;
        }
        const std::string name = m.count > 1 ? m.what + " (" + std::to_string(m.count) + " mappings)" : m.what;
        std::cout << "| " << figure(mb(m.pss_kib)) << " | " << figure(mb(m.rss_kib)) << " | "
                  << figure(mb(m.size_kib)) << " | `" << name << "` | " << describe(m) << " |\n";
    }
    std::cout << "| " << figure(mb(rest)) << " | | | everything else | |\n";
}

template <typename Run>
void print_process_rows(const std::string& prefix, const std::vector<Run>& runs) {
    std::map<std::string, int> labels;
    for (const auto& run : runs)
        if (run.memory)
            for (const auto& [label, kib] : run.memory->by_process_kib) labels[label] = 0;
    for (const auto& [label, unused] : labels)
        std::cout << "| " << prefix << label << " | " << spread(memory_summary(runs, label)) << " |\n";
}

void print_tables(const Options& options, const std::vector<ProgramRuns>& programs,
                  const std::vector<BrowserRun>& browser) {
    auto each = [&](auto get) {
        std::vector<std::optional<Summary>> cells;
        for (const ProgramRuns& program : programs) cells.push_back(get(program));
        return cells;
    };
    auto settled = [](auto member) {
        return [member](const ProgramRuns& p) { return summary_of(p.settled, [member](const ProgramRun& r) { return r.*member; }); };
    };
    auto at_once = [](auto member) {
        return [member](const ProgramRuns& p) { return summary_of(p.at_once, [member](const ProgramRun& r) { return r.*member; }); };
    };
    auto of_browser = [&](auto member) { return summary_of(browser, [member](const BrowserRun& r) { return r.*member; }); };

    std::cout << "Medians of " << options.runs
              << " runs, with (p25–p75, min–max). Times in ms, from the harness's fork of the process or from "
                 "the moment right before it sent the click; memory in MB = 1000 kB of /proc (kB there being "
                 "1024 bytes), read 1 s after the band (the page) showed.\n\n| measure | ";
    for (const ProgramRuns& program : programs)
        std::cout << (programs.size() == 1 ? std::string("pricehistory") : fs::path(program.path).filename().string())
                  << " | ";
    std::cout << "baseline: Chromium, same page | ratio | goal |\n|---|";
    for (std::size_t i = 0; i < programs.size(); ++i) std::cout << "---|";
    std::cout << "---|---:|---|\n";

    row("start → main window mapped with its caption (Chromium: its first window mapped), ms",
        each(settled(&ProgramRun::mapped_ms)), of_browser(&BrowserRun::mapped_ms), "≤ 150");
    row("Query click → request line at the service, ms (click 1.5 s after the window maps)",
        each(settled(&ProgramRun::click_to_request_ms)), std::nullopt, "≤ 20");
    row("Query click → band painted in the frame, ms (same)", each(settled(&ProgramRun::click_to_band_ms)),
        std::nullopt, "≤ 300");
    row("Query click → request line, ms (link typed and Query clicked as soon as the window maps)",
        each(at_once(&ProgramRun::click_to_request_ms)), std::nullopt, "");
    row("Query click → band painted, ms (same)", each(at_once(&ProgramRun::click_to_band_ms)), std::nullopt, "");
    row("start → band painted, ms (same) / Chromium: start → page painted",
        each(at_once(&ProgramRun::start_to_band_ms)), of_browser(&BrowserRun::painted_ms), "");
    row("PSS of all its processes while the band shows, MB",
        each([](const ProgramRuns& p) { return memory_summary(p.settled, ""); }), memory_summary(browser, ""), "≤ 330");
    row("the same pages counted once however many processes map them (what PSS adds up to when no other program "
        "maps the same libraries), MB",
        each([](const ProgramRuns& p) { return memory_summary(p.settled, kFootprint); }),
        memory_summary(browser, kFootprint), "");

    std::cout << "\nPSS by process while the band (the page) shows, MB:\n\n| process | median (p25–p75, min–max) |\n"
                 "|---|---|\n";
    for (const ProgramRuns& program : programs)
        print_process_rows(fs::path(program.path).filename().string() + ": ", program.settled);
    print_process_rows("", browser);

    const std::vector<ProgramRun>& runs = programs.front().settled;
    for (auto it = runs.rbegin(); it != runs.rend(); ++it) {
        if (!it->memory) continue;
        const Memory& own = it->memory->root;
        std::cout << "\nThe program's own process in the last run: Pss " << figure(mb(own.pss_kib)) << " MB (anonymous "
                  << figure(mb(own.pss_anon_kib)) << ", files " << figure(mb(own.pss_file_kib)) << ", shared memory "
                  << figure(mb(own.pss_shmem_kib)) << ").\n";
        print_mappings("Its largest mappings:", it->memory->root_mappings, 15);
        if (!it->memory->web_process_mappings.empty())
            print_mappings("The largest mappings of its WebKitWebProcess:", it->memory->web_process_mappings, 8);
        break;
    }
}

std::optional<Options> parse(int argc, char** argv) {
    Options options;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string name = argv[i], value = argv[i + 1];
        if (name == "--program") options.programs.push_back(value);
        else if (name == "--browser") options.browser = value;
        else if (name == "--logs") options.logs = value;
        else if (name == "--runs") {
            const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), options.runs);
            if (error != std::errc() || options.runs < 1) return std::nullopt;
        } else return std::nullopt;
    }
    if (argc % 2 == 0 || options.programs.empty()) return std::nullopt;
    return options;
}

}  // namespace
}  // namespace ph::bench

int main(int argc, char** argv) {
    using namespace ph::bench;
    const std::optional<Options> options = parse(argc, argv);
    if (!options) {
        std::cerr << "usage: ui_bench --program PATH [--program PATH...] [--runs N] [--browser PATH|none] [--logs DIR]\n";
        return 2;
    }
    try {
        adopt_orphans();
        XScreen screen;
        TimedService service(kServicePort, kPageRows);
        const bool with_browser = options->browser != "none";
        std::vector<ProgramRuns> programs;
        for (const std::string& path : options->programs) programs.push_back({path, {}, {}});
        std::vector<BrowserRun> browser;
        // A first round that counts for nothing: the session's own helpers
        // (the accessibility bus, font caches) start with the first program.
        std::cerr << "warm-up round\n";
        for (const ProgramRuns& program : programs) run_program(*options, program.path, screen, service, true);
        if (with_browser) run_browser(*options, screen);
        for (int run = 1; run <= options->runs; ++run) {
            std::cerr << "run " << run << "/" << options->runs << ":";
            for (ProgramRuns& program : programs) {
                program.settled.push_back(run_program(*options, program.path, screen, service, true));
                program.at_once.push_back(run_program(*options, program.path, screen, service, false));
                const ProgramRun& s = program.settled.back();
                const ProgramRun& a = program.at_once.back();
                std::cerr << " mapped " << figure(s.mapped_ms) << " / " << figure(a.mapped_ms) << " ms, click→request "
                          << figure(s.click_to_request_ms) << " / " << figure(a.click_to_request_ms)
                          << " ms, click→band " << figure(s.click_to_band_ms) << " / " << figure(a.click_to_band_ms)
                          << " ms, PSS " << (s.memory ? figure(mb(s.memory->total_kib)) : "–") << " MB;";
            }
            if (with_browser) {
                browser.push_back(run_browser(*options, screen));
                std::cerr << " browser mapped " << figure(browser.back().mapped_ms) << " ms, painted "
                          << figure(browser.back().painted_ms) << " ms, PSS "
                          << (browser.back().memory ? figure(mb(browser.back().memory->total_kib)) : "–") << " MB";
            }
            std::cerr << "\n";
        }
        print_tables(*options, programs, browser);
    } catch (const std::exception& error) {
        std::cerr << "ui_bench: " << error.what() << "\n";
        return 1;
    }
    return 0;
}
