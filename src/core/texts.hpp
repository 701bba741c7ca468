// Every text of the program, in one place, as code page 936 bytes (the
// defining file is compiled with the GB18030 execution character set).
#pragma once

#include "core/text.hpp"

namespace ph::texts {

extern const Text empty;                // ""

// The query.
extern const Text http;                 // "http"
extern const Text https;                // "https"
extern const Text scheme_separator;     // "://"
extern const Text quote_marker;         // "#引号", stands for a double quote in markers
extern const Text double_quote;         // "\""
extern const Text service_base;         // "http://" + the service host of the build
extern const Text query_path;           // "/his.php?hisurl="
extern const Text query_prefix;         // service_base + query_path

// The main window.
extern const Text caption;              // "商品历史价格查询"
extern const Text query_label;          // "查询"
extern const Text clear_label;          // "清空"
extern const Text prompt_label;         // "欲查询商品链接："
extern const Text help_label;           // "使用说明：" 9 spaces, the hint, 17 spaces: 88 bytes
extern const Text rejection_message;    // "请输正确商品链接"
extern const Text rejection_title;      // "信息："

// The run-time error report.
extern const Text error_title;          // "错误"
extern const Text error_heading;        // "运行时出错!"
extern const Text error_code_label;     // "错误代码："
extern const Text error_message_label;  // "错误信息："
extern const Text definition_unreadable;  // "载入窗口模板数据段出错!"
extern const Text window_load_failed;     // "载入启动窗口失败"
extern const Text storage_failure;        // "分配 %d 字节内存失败!"

}  // namespace ph::texts
