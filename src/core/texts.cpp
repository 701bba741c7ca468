// Compiled with -fexec-charset=GB18030: the literals below become code page
// 936 bytes, while this file stays readable UTF-8.
#include "core/texts.hpp"

#ifndef PRICE_SERVICE_HOST
#error "PRICE_SERVICE_HOST must name the price-history service host"
#endif

#define PH_SERVICE_BASE "http://" PRICE_SERVICE_HOST
#define PH_QUERY_PATH "/his.php?hisurl="

namespace ph::texts {

constinit const Text empty = Text::constant("");

constinit const Text http = Text::constant("http");
constinit const Text https = Text::constant("https");
constinit const Text scheme_separator = Text::constant("://");
constinit const Text quote_marker = Text::constant("#引号");
constinit const Text double_quote = Text::constant("\"");
constinit const Text service_base = Text::constant(PH_SERVICE_BASE);
constinit const Text query_path = Text::constant(PH_QUERY_PATH);
constinit const Text query_prefix = Text::constant(PH_SERVICE_BASE PH_QUERY_PATH);

constinit const Text caption = Text::constant("商品历史价格查询");
constinit const Text query_label = Text::constant("查询");
constinit const Text clear_label = Text::constant("清空");
constinit const Text prompt_label = Text::constant("欲查询商品链接：");
constinit const Text help_label =
    Text::constant("使用说明：         在上方的输入框里输入商品的网址或商品口令查询历史价格                 ");
constinit const Text rejection_message = Text::constant("请输正确商品链接");
constinit const Text rejection_title = Text::constant("信息：");

constinit const Text error_title = Text::constant("错误");
constinit const Text error_heading = Text::constant("运行时出错!");
constinit const Text error_code_label = Text::constant("错误代码：");
constinit const Text error_message_label = Text::constant("错误信息：");
constinit const Text definition_unreadable = Text::constant("载入窗口模板数据段出错!");
constinit const Text window_load_failed = Text::constant("载入启动窗口失败");
constinit const Text storage_failure = Text::constant("分配 %d 字节内存失败!");

}  // namespace ph::texts
