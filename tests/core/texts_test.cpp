// The program's texts are code page 936 bytes; this file is UTF-8, so each
// is compared with its UTF-8 spelling converted to the program's code page.
#include "core/texts.hpp"

#include <gtest/gtest.h>

#include "core/codepage.hpp"

namespace ph {
namespace {

struct ConstantCase {
    const Text* constant;
    std::string_view utf8;
    std::int32_t size;
};

class ProgramTextTest : public testing::TestWithParam<ConstantCase> {};

TEST_P(ProgramTextTest, IsCodePage936Bytes) {
    const ConstantCase& c = GetParam();
    EXPECT_TRUE(c.constant->is_constant());
    EXPECT_EQ(c.constant->bytes(), text_from_utf8(c.utf8).bytes());
    EXPECT_EQ(text_size(*c.constant), c.size);
}

INSTANTIATE_TEST_SUITE_P(
    Constants, ProgramTextTest,
    testing::Values(ConstantCase{&texts::rejection_message, "请输正确商品链接", 16},
                    ConstantCase{&texts::rejection_title, "信息：", 6},
                    ConstantCase{&texts::caption, "商品历史价格查询", 16},
                    ConstantCase{&texts::query_label, "查询", 4},
                    ConstantCase{&texts::clear_label, "清空", 4},
                    ConstantCase{&texts::prompt_label, "欲查询商品链接：", 16},
                    ConstantCase{&texts::help_label,
                                 "使用说明：         在上方的输入框里输入商品的网址或商品口令查询历史价格"
                                 "                 ",
                                 88},
                    ConstantCase{&texts::quote_marker, "#引号", 5},
                    ConstantCase{&texts::error_title, "错误", 4},
                    ConstantCase{&texts::error_heading, "运行时出错!", 11},
                    ConstantCase{&texts::error_code_label, "错误代码：", 10},
                    ConstantCase{&texts::error_message_label, "错误信息：", 10},
                    ConstantCase{&texts::definition_unreadable, "载入窗口模板数据段出错!", 23},
                    ConstantCase{&texts::window_load_failed, "载入启动窗口失败", 16},
                    ConstantCase{&texts::storage_failure, "分配 %d 字节内存失败!", 21}));

TEST(ProgramTexts, HelpLabelKeepsItsSpaces) {
    const std::string_view help = texts::help_label.bytes();
    EXPECT_EQ(help.substr(10, 9), "         ");  // behind "使用说明："
    EXPECT_EQ(help.substr(help.size() - 17), "                 ");
    EXPECT_NE(help[help.size() - 18], ' ');
}

}  // namespace
}  // namespace ph
