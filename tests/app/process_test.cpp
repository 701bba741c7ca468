// The built program as a desktop starts it: its own process, its own
// environment, a real window manager (openbox) and keys from the X server.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <memory>
#include <thread>

#include "child_process.hpp"
#include "x_session.hpp"

namespace ph {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using test::ChildProcess;
using test::MappedWindow;
using test::StartOptions;
using test::XSession;

const std::string kProgram = PH_PROGRAM;
constexpr const char* kCaption = "商品历史价格查询";
constexpr int kOuterWidth = 1099, kOuterHeight = 665;
constexpr int kCentredX = 410, kCentredY = 207;  // on the 1920 x 1080 test screen
constexpr auto kStartTimeout = 60s;              // WebKit under the sanitizers starts slowly
constexpr auto kEndTimeout = 30s;

// A started copy of the program and the window it mapped.
struct RunningCopy {
    std::unique_ptr<ChildProcess> process;
    MappedWindow window;
};

class ProgramProcess : public testing::Test {
protected:
    RunningCopy start(const StartOptions& options = {}) {
        RunningCopy copy{std::make_unique<ChildProcess>(kProgram, options), {}};
        const auto mapped = x.wait_for_mapped_window(copy.process->pid(), kStartTimeout);
        if (mapped)
            copy.window = *mapped;
        else
            ADD_FAILURE() << "no window mapped by process " << copy.process->pid();
        return copy;
    }

    // Brings the window to the front as a click on it would (the window
    // manager keeps a new window from taking the focus from another one),
    // then presses keys (xdotool's names) on the real keyboard.
    void press(const RunningCopy& copy, const std::string& keys) {
        ASSERT_EQ(test::run_to_end({"xdotool", "windowactivate", std::to_string(copy.window.id)}), 0);
        ASSERT_TRUE(x.wait_for_focus(copy.window.id, 10s))
            << "window " << copy.window.id << " never got the focus: " << x.describe_focus();
        ASSERT_EQ(test::run_to_end({"xdotool", "key", keys}), 0);
    }

    XSession x;
};

TEST_F(ProgramProcess, MapsItsWindowAlreadyCaptioned) {
    RunningCopy copy = start();
    ASSERT_NE(copy.window.id, 0u);
    EXPECT_EQ(copy.window.caption_at_map, kCaption);
    EXPECT_FALSE(copy.window.caption_changed_after_map);
    EXPECT_EQ(x.class_hint(copy.window.id), (std::vector<std::string>{"pricehistory", "Pricehistory"}));
}

struct EndingKey {
    const char* name;
    const char* keys;
};

class EndingKeys : public ProgramProcess, public testing::WithParamInterface<EndingKey> {};

TEST_P(EndingKeys, EndTheProgramWithCodeZero) {
    RunningCopy copy = start();
    ASSERT_NE(copy.window.id, 0u);
    press(copy, GetParam().keys);
    EXPECT_EQ(copy.process->wait_for_exit(kEndTimeout), std::optional<int>(0));
}

// Escape is the window's own key; Alt+F4 is the window manager's close.
INSTANTIATE_TEST_SUITE_P(Keys, EndingKeys,
                         testing::Values(EndingKey{"Escape", "Escape"}, EndingKey{"AltF4", "alt+F4"}),
                         [](const testing::TestParamInfo<EndingKey>& info) { return std::string(info.param.name); });

TEST_F(ProgramProcess, IgnoresItsCommandLineAndRunsInItsOwnFolder) {
    // Each of these would change the run if GTK or the program read them.
    StartOptions options;
    options.arguments = {"--display=nowhere:9", "--name=other", "--class=Other", "--gtk-module=none",
                         "--g-fatal-warnings", "-h", "junk", "中文"};
    options.working_folder = "/";
    RunningCopy copy = start(options);
    ASSERT_NE(copy.window.id, 0u);
    EXPECT_EQ(copy.window.caption_at_map, kCaption);
    EXPECT_EQ(x.class_hint(copy.window.id), (std::vector<std::string>{"pricehistory", "Pricehistory"}));

    std::error_code error;
    const fs::path folder = fs::read_symlink("/proc/" + std::to_string(copy.process->pid()) + "/cwd", error);
    ASSERT_FALSE(error) << error.message();
    EXPECT_EQ(folder, fs::canonical(kProgram).parent_path());

    press(copy, "Escape");
    EXPECT_EQ(copy.process->wait_for_exit(kEndTimeout), std::optional<int>(0));
}

TEST_F(ProgramProcess, SecondCopyRunsBesideTheFirst) {
    RunningCopy first = start();
    RunningCopy second = start();
    ASSERT_NE(first.window.id, 0u);
    ASSERT_NE(second.window.id, 0u);
    EXPECT_NE(first.window.id, second.window.id);
    EXPECT_TRUE(first.process->running());
    EXPECT_EQ(second.window.caption_at_map, kCaption);

    // Each copy ends on its own key; the other runs on.
    press(second, "Escape");
    EXPECT_EQ(second.process->wait_for_exit(kEndTimeout), std::optional<int>(0));
    EXPECT_TRUE(first.process->running());
    press(first, "Escape");
    EXPECT_EQ(first.process->wait_for_exit(kEndTimeout), std::optional<int>(0));
}

std::string describe(const test::Box& box) {
    return std::to_string(box.width) + " x " + std::to_string(box.height) + " at " + std::to_string(box.x) + ", " +
           std::to_string(box.y);
}

TEST_F(ProgramProcess, OuterSizeWithTheFrameIsFixed) {
    RunningCopy copy = start();
    const Window id = copy.window.id;
    ASSERT_NE(id, 0u);

    // The client area is fitted to the frame once the window manager reports it.
    std::vector<unsigned long> extents;  // left, right, top, bottom
    auto outer_from_extents = [&] {
        const auto client = x.client_box(id);
        extents = x.cardinals(id, "_NET_FRAME_EXTENTS");
        if (!client || extents.size() != 4) return test::Box{};
        return test::Box{client->x - static_cast<int>(extents[0]), client->y - static_cast<int>(extents[2]),
                         client->width + static_cast<int>(extents[0] + extents[1]),
                         client->height + static_cast<int>(extents[2] + extents[3])};
    };
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (std::chrono::steady_clock::now() < deadline) {
        const test::Box outer = outer_from_extents();
        if (outer.width == kOuterWidth && outer.height == kOuterHeight) break;
        std::this_thread::sleep_for(20ms);
    }
    std::this_thread::sleep_for(300ms);  // a late second fitting would show now

    ASSERT_EQ(extents.size(), 4u) << "no frame extents from the window manager";
    EXPECT_GT(extents[2], 0u) << "expected a title bar";
    const test::Box outer = outer_from_extents();
    EXPECT_EQ(outer.width, kOuterWidth) << describe(outer);
    EXPECT_EQ(outer.height, kOuterHeight) << describe(outer);
    const auto frame = x.outer_box(id);
    ASSERT_TRUE(frame);
    EXPECT_EQ(frame->width, kOuterWidth) << describe(*frame);
    EXPECT_EQ(frame->height, kOuterHeight) << describe(*frame);
    EXPECT_EQ(frame->x, kCentredX) << describe(*frame);  // centred by its outer size
    EXPECT_EQ(frame->y, kCentredY) << describe(*frame);

    // Not resizable: the smallest and largest client sizes are the client size.
    const auto client = x.client_box(id);
    ASSERT_TRUE(client);
    const test::SizeLimits limits = x.size_limits(id);
    EXPECT_TRUE(limits.has_min && limits.has_max);
    EXPECT_EQ(limits.min_width, client->width);
    EXPECT_EQ(limits.max_width, client->width);
    EXPECT_EQ(limits.min_height, client->height);
    EXPECT_EQ(limits.max_height, client->height);

    // What the window manager offers for it: minimise and close, no resize or maximise.
    const std::vector<std::string> actions = x.atom_names(id, "_NET_WM_ALLOWED_ACTIONS");
    auto offers = [&](const char* action) { return std::ranges::find(actions, action) != actions.end(); };
    EXPECT_TRUE(offers("_NET_WM_ACTION_MINIMIZE"));
    EXPECT_TRUE(offers("_NET_WM_ACTION_CLOSE"));
    EXPECT_FALSE(offers("_NET_WM_ACTION_RESIZE"));
    EXPECT_FALSE(offers("_NET_WM_ACTION_MAXIMIZE_HORZ"));
    EXPECT_FALSE(offers("_NET_WM_ACTION_MAXIMIZE_VERT"));
}

// Every file and folder under `folder`, relative to it, except the platform's
// settings cache (dconf), which the desktop writes for any GTK program.
std::vector<std::string> entries_under(const fs::path& folder) {
    std::vector<std::string> found;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(folder)) {
        const std::string relative = fs::relative(entry.path(), folder).string();
        const bool platform = relative.starts_with(".config/dconf") || relative.starts_with(".cache/dconf");
        const bool parent_of_platform = relative == ".config" || relative == ".cache";
        if (!platform && !parent_of_platform) found.push_back(relative);
    }
    return found;
}

// A folder of the test's own under the temporary folder, removed afterwards.
class TemporaryFolder {
public:
    TemporaryFolder() {
        std::string pattern = (fs::temp_directory_path() / "ph-home-XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            throw fs::filesystem_error("mkdtemp", std::error_code(errno, std::generic_category()));
        path_ = pattern;
    }
    ~TemporaryFolder() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;
    const fs::path& path() const noexcept { return path_; }

private:
    fs::path path_;
};

TEST_F(ProgramProcess, StartAndEscapeWriteNothingToTheHomeFolder) {
    // A home of this run's own: the window manager's log stays in the wrapper's.
    const TemporaryFolder home_folder;
    const fs::path& home = home_folder.path();
    StartOptions options;
    options.environment = {{"HOME", home.string()},
                           {"XDG_CACHE_HOME", (home / ".cache").string()},
                           {"XDG_CONFIG_HOME", (home / ".config").string()},
                           {"XDG_DATA_HOME", (home / ".local/share").string()},
                           {"XDG_STATE_HOME", (home / ".local/state").string()}};
    RunningCopy copy = start(options);
    ASSERT_NE(copy.window.id, 0u);
    std::this_thread::sleep_for(1s);  // the engine's page process starts once the window shows
    press(copy, "Escape");
    ASSERT_EQ(copy.process->wait_for_exit(kEndTimeout), std::optional<int>(0));
    EXPECT_EQ(entries_under(home), std::vector<std::string>{});
}

}  // namespace
}  // namespace ph
