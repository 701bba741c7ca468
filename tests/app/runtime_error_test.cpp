// The run-time error report: its text, the box it shows when storage for a
// text really fails (in a process of its own, as it ends that process), and
// the window load that fails at one control.
#include "app/runtime_error.hpp"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <limits>
#include <map>

#include "app/builder.hpp"
#include "app/kinds.hpp"
#include "app/shell.hpp"
#include "child_process.hpp"
#include "core/codepage.hpp"
#include "support/gui.hpp"
#include "ui/window_definition.hpp"

namespace ph {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// --- the report's text --------------------------------------------------------

struct ReportCase {
    const char* name;
    const char* message;  // UTF-8 here, program code page for the report
    std::int32_t code;
    const char* detail;
    const char* expected;
};

const ReportCase kReportCases[] = {
    {"HeadingOnly", "", 0, "", "运行时出错!\r\n\r\n"},
    {"DetailOnly", "", 0, "0, 0", "运行时出错!\r\n\r\n0, 0"},
    {"Message", "分配 17 字节内存失败!", 0, "0, 0",
     "运行时出错!\r\n\r\n错误信息：分配 17 字节内存失败!\r\n\r\n0, 0"},
    {"MessageWithoutDetail", "载入启动窗口失败", 0, "", "运行时出错!\r\n\r\n错误信息：载入启动窗口失败\r\n\r\n"},
    {"Code", "", 7, "按钮1", "运行时出错!\r\n\r\n错误代码：7\r\n\r\n按钮1"},
    {"NegativeCode", "", -1, "", "运行时出错!\r\n\r\n错误代码：-1\r\n\r\n"},
    {"LowestCode", "", std::numeric_limits<std::int32_t>::min(), "",
     "运行时出错!\r\n\r\n错误代码：-2147483648\r\n\r\n"},
    {"CodeThenMessage", "出错", 42, "a\r\nb",
     "运行时出错!\r\n\r\n错误代码：42\r\n\r\n错误信息：出错\r\n\r\na\r\nb"},
};

class ReportText : public testing::TestWithParam<ReportCase> {};

TEST_P(ReportText, HasItsLinesInOrder) {
    const ReportCase& c = GetParam();
    const Text message = text_from_utf8(c.message), detail = text_from_utf8(c.detail);
    EXPECT_EQ(to_utf8(app::runtime_error_report(message.bytes(), c.code, detail.bytes())), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, ReportText, testing::ValuesIn(kReportCases),
                         [](const testing::TestParamInfo<ReportCase>& info) { return std::string(info.param.name); });

TEST(ReportText, KeepsTheCodePageBytesItIsGiven) {
    // GB18030 bytes of "错" and a lone trail byte: the report passes them on unchanged.
    const std::string detail = "\xb4\xed|\x80";
    const std::string report = app::runtime_error_report("", 0, detail);
    EXPECT_TRUE(report.ends_with("\r\n\r\n" + detail));
}

// --- the box, for real, in a process that it ends -----------------------------

// "name=value" lines, as the probe writes them.
std::map<std::string, std::string> read_fields(const fs::path& file) {
    std::map<std::string, std::string> fields;
    std::ifstream in(file);
    for (std::string line; std::getline(in, line);) {
        const std::size_t equals = line.find('=');
        if (equals != std::string::npos) fields[line.substr(0, equals)] = line.substr(equals + 1);
    }
    return fields;
}

TEST(RuntimeErrorBox, StorageFailureShowsTheReportAndEndsWith255) {
    const fs::path output = fs::temp_directory_path() / ("ph-probe-" + std::to_string(getpid()) + ".txt");
    test::StartOptions options;
    options.output_file = output.string();
    std::optional<int> exit_code;
    {
        test::ChildProcess probe(PH_RUNTIME_ERROR_PROBE, options);
        exit_code = probe.wait_for_exit(60s);
    }
    const std::map<std::string, std::string> seen = read_fields(output);
    fs::remove(output);

    EXPECT_EQ(exit_code, std::optional<int>(255));
    ASSERT_TRUE(seen.contains("text")) << "the probe saw no box";
    EXPECT_EQ(seen.at("title"), "错误");
    // The probe writes CR and LF as \r and \n.
    EXPECT_EQ(seen.at("text"), "运行时出错!\\r\\n\\r\\n错误信息：分配 17 字节内存失败!\\r\\n\\r\\n0, 0");
    EXPECT_EQ(seen.at("secondary"), "");
    EXPECT_EQ(seen.at("markup"), "0");  // the report is shown as plain text
    EXPECT_EQ(seen.at("type"), "error");
    EXPECT_EQ(seen.at("buttons"), "1");
    EXPECT_EQ(seen.at("modal"), "1");
}

// --- a window load that fails at one control ----------------------------------

// Controls whose memory went; a late release still lands somewhere valid.
int released_controls = 0;
void count_release(gpointer, GObject*) { ++released_controls; }

class FailingControl : public testing::TestWithParam<ui::Role> {};

std::string role_name(const testing::TestParamInfo<ui::Role>& info) {
    constexpr const char* kNames[] = {"SchemeBox", "ClearButton", "HelpLabel",   "PromptLabel",
                                      "LinkBox",   "PageView",    "QueryButton", "ViewFrame"};
    return kNames[static_cast<int>(info.param)];
}

TEST_P(FailingControl, LeavesNoWindowAndNamesTheControl) {
    const ui::WindowDefinition& definition = ui::main_window_definition();
    const ui::ControlDefinition& failing = *ui::find_control(definition, GetParam());
    const std::size_t toplevels_before = Gtk::Window::list_toplevels().size();
    int made = 0;
    released_controls = 0;

    app::BuiltWindow built = app::build_window(definition, [&](const ui::ControlDefinition& row) -> Gtk::Widget* {
        if (&row == &failing) return nullptr;
        Gtk::Widget* widget = app::make_control(row, app::engine_context()->get());
        ++made;
        g_object_weak_ref(G_OBJECT(widget->gobj()), count_release, nullptr);
        return widget;
    });
    test::run_for(50ms);

    EXPECT_FALSE(built.window);
    EXPECT_FALSE(built.controls);
    EXPECT_EQ(built.failed_control, failing.name);
    EXPECT_EQ(Gtk::Window::list_toplevels().size(), toplevels_before);
    EXPECT_EQ(released_controls, made) << "controls made before the failure must go with the window";
}

INSTANTIATE_TEST_SUITE_P(EachRow, FailingControl,
                         testing::Values(ui::Role::SchemeBox, ui::Role::ClearButton, ui::Role::HelpLabel,
                                         ui::Role::PromptLabel, ui::Role::LinkBox, ui::Role::PageView,
                                         ui::Role::QueryButton, ui::Role::ViewFrame),
                         role_name);

}  // namespace
}  // namespace ph
