// A leak of ours is reported at exit even with the toolkit's and the engine's
// own leaks suppressed: the probe shows the real window, leaks one object on
// purpose, and the leak report must name the function that made it.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "child_process.hpp"

namespace ph {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

struct LeakCase {
    const char* kind;   // the probe's argument
    const char* maker;  // the probe's function that leaks it
};

const LeakCase kLeakCases[] = {
    {"copied-string", "leak_a_copied_string"},
    {"stored-text", "leak_a_stored_text"},
    {"owned-widget", "leak_an_owned_widget"},
};

// The report's paragraphs: one per leak, each a heading and its stack.
std::vector<std::string> paragraphs(const fs::path& file) {
    std::vector<std::string> found(1);
    std::ifstream in(file);
    for (std::string line; std::getline(in, line);) {
        if (line.empty()) {
            if (!found.back().empty()) found.emplace_back();
        } else {
            found.back() += line + "\n";
        }
    }
    return found;
}

class LeakReport : public testing::TestWithParam<LeakCase> {};

TEST_P(LeakReport, NamesTheObjectOfOursThatLeaked) {
    const LeakCase& c = GetParam();
    const char* inherited = std::getenv("LSAN_OPTIONS");
    ASSERT_TRUE(inherited && std::string(inherited).find("suppressions=") != std::string::npos)
        << "run through CTest, which sets the project's leak suppressions";

    const fs::path folder = fs::temp_directory_path() / ("ph-leak-" + std::to_string(getpid()) + "-" + c.kind);
    fs::create_directories(folder);
    test::StartOptions options;
    options.arguments = {c.kind};
    options.environment["LSAN_OPTIONS"] = std::string(inherited) + ":log_path=" + (folder / "report").string();
    std::optional<int> exit_code;
    fs::path report;
    {
        test::ChildProcess probe(PH_LEAK_PROBE, options);
        exit_code = probe.wait_for_exit(60s);
        report = folder / ("report." + std::to_string(probe.pid()));
    }
    const std::vector<std::string> found = paragraphs(report);
    fs::remove_all(folder);

    ASSERT_TRUE(exit_code.has_value());
    EXPECT_NE(*exit_code, 0) << "the leak check let the probe end well";
    bool named = false;
    std::string all;
    for (const std::string& leak : found) {
        // A widget holds a reference cycle, so it shows as an indirect leak.
        const bool is_leak = leak.starts_with("Direct leak of ") || leak.starts_with("Indirect leak of ");
        named = named || (is_leak && leak.find(c.maker) != std::string::npos);
        all += leak + "\n";
    }
    EXPECT_TRUE(named) << "no leak from " << c.maker << " in the report:\n" << all;
}

INSTANTIATE_TEST_SUITE_P(Kinds, LeakReport, testing::ValuesIn(kLeakCases),
                         [](const testing::TestParamInfo<LeakCase>& info) { return std::string(info.param.maker); });

}  // namespace
}  // namespace ph
