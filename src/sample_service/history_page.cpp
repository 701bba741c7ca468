#include "sample_service/history_page.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "sample_service/address_text.hpp"
#include "sample_service/price_series.hpp"

namespace ph::sample {
namespace {

std::string number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", value);
    return text;
}

std::string px(int value) { return std::to_string(value) + "px"; }

// Shared by both pages: fixed width, no margins, the system's CJK fonts.
std::string page_start(std::string_view title, std::string_view page_style) {
    std::string html;
    html += "<!DOCTYPE html>\n<html lang=\"zh-CN\">\n<head>\n<meta charset=\"utf-8\">\n";
    html += "<meta name=\"robots\" content=\"noindex\">\n<title>";
    html += html_escape(title);
    html += "</title>\n<style>\n";
    html += "*{box-sizing:border-box}\n";
    html += "html,body{margin:0;padding:0;background:#eef1f6}\n";
    html += "body{width:" + px(page_width) + ";overflow-x:hidden;color:#1d2733;font-size:14px;line-height:1.45;"
            "font-family:\"Noto Sans CJK SC\",\"Noto Sans SC\",\"Source Han Sans SC\",\"WenQuanYi Micro Hei\","
            "\"Microsoft YaHei\",sans-serif}\n";
    html += ".site{height:" + px(site_head_rows) + ";overflow:hidden;color:#fff;"
            "background:linear-gradient(160deg,#1e3f74 0%,#2559a8 60%,#2f6fc9 100%)}\n";
    html += ".bar{height:48px;display:flex;align-items:center;padding:0 28px;gap:14px;"
            "border-bottom:1px solid rgba(255,255,255,.15)}\n";
    html += ".logo{width:28px;height:28px;border-radius:7px;background:#ffb020;color:#1e3f74;font-weight:700;"
            "display:flex;align-items:center;justify-content:center;font-size:16px}\n";
    html += ".brand{font-size:17px;font-weight:700;letter-spacing:1px}\n";
    html += ".brand small{font-size:12px;font-weight:400;opacity:.75;margin-left:8px;letter-spacing:0}\n";
    html += ".bar nav{flex:1;display:flex;gap:22px;margin-left:26px;font-size:13px;opacity:.85}\n";
    html += ".badge{background:#ffb020;color:#4a2b00;font-size:12px;font-weight:700;padding:3px 10px;"
            "border-radius:10px}\n";
    html += "footer{padding:14px 28px 22px;color:#7a8699;font-size:12px}\n";
    html += page_style;
    html += "</style>\n</head>\n<body>\n";
    return html;
}

std::string site_head(std::string_view shown_address, const PriceHistory& history) {
    std::string html;
    html += "<header class=\"site\">\n<div class=\"bar\"><span class=\"logo\">价</span>"
            "<span class=\"brand\">价格走势<small>示例服务</small></span>"
            "<nav><span>首页</span><span>历史价格</span><span>降价提醒</span><span>使用帮助</span></nav>"
            "<span class=\"badge\">示例数据 · 非真实价格</span></div>\n";
    html += "<div class=\"hero\"><h1>商品历史价格查询</h1>"
            "<div class=\"search\"><span class=\"field\">";
    html += html_escape(shown_address);
    html += "</span><span class=\"go\">查询</span></div>"
            "<p class=\"tip\">粘贴商品链接，查看近 180 天的价格走势。本服务只生成演示用的示例数据。</p></div>\n";
    html += "<div class=\"tabs\"><span class=\"on\">价格走势</span><span>促销记录</span><span>同款比价</span>"
            "<span class=\"period\">数据周期：";
    html += day_text(history.days.front().day) + " 至 " + day_text(history.days.back().day);
    html += "</span></div>\n</header>\n";
    return html;
}

std::string site_head_style() {
    std::string css;
    css += ".hero{height:128px;padding:14px 28px 0;overflow:hidden}\n";
    css += ".hero h1{margin:0 0 10px;font-size:24px;font-weight:700;letter-spacing:2px}\n";
    css += ".search{display:flex;height:40px;border-radius:6px;overflow:hidden;background:#fff;"
           "box-shadow:0 2px 6px rgba(0,0,0,.18)}\n";
    css += ".field{flex:1;color:#3a4656;padding:0 14px;line-height:40px;white-space:nowrap;overflow:hidden;"
           "text-overflow:ellipsis;font-size:14px}\n";
    css += ".go{width:96px;background:#ffb020;color:#4a2b00;font-weight:700;text-align:center;line-height:40px}\n";
    css += ".tip{margin:8px 0 0;font-size:12px;opacity:.8}\n";
    css += ".tabs{height:59px;display:flex;align-items:flex-end;gap:6px;padding:0 28px}\n";
    css += ".tabs span{height:38px;line-height:38px;padding:0 20px;border-radius:6px 6px 0 0;"
           "background:rgba(255,255,255,.14);font-size:14px}\n";
    css += ".tabs span.on{background:#fff;color:#1e3f74;font-weight:700}\n";
    css += ".tabs span.period{margin-left:auto;background:none;font-size:12px;opacity:.8;padding:0}\n";
    return css;
}

struct Plot {
    double left = 78, right = 930, top = 26, bottom = 420;
    double low = 0, high = 1;  // the price range of the vertical axis, in cents
    int day_count = 1;

    double x(int day_index) const {
        return day_count < 2 ? left : left + (right - left) * day_index / (day_count - 1);
    }
    double y(std::int64_t cents) const {
        return bottom - (bottom - top) * (static_cast<double>(cents) - low) / (high - low);
    }
};

// A step of 1, 2 or 5 times a power of ten that cuts `range` into about `parts` parts.
double nice_step(double range, int parts) {
    const double rough = range / parts;
    const double power = std::pow(10.0, std::floor(std::log10(rough)));
    for (const double factor : {1.0, 2.0, 5.0})
        if (rough <= factor * power) return factor * power;
    return 10.0 * power;
}

std::string axis_price(double cents) {
    const auto whole = static_cast<std::int64_t>(std::llround(cents));
    std::string text = price_text(whole);
    if (text.ends_with(".00")) text.resize(text.size() - 3);
    return "¥" + text;
}

struct Marker {
    const char* name;
    const char* colour;
    DayPrice price;
    bool label_below;
};

std::string chart_svg(const PriceHistory& history) {
    Plot plot;
    plot.day_count = static_cast<int>(history.days.size());
    const double spread = std::max<double>(static_cast<double>(history.highest.cents - history.lowest.cents),
                                           static_cast<double>(history.highest.cents) * 0.1);
    const double step = nice_step(spread * 1.3, 5);
    plot.low = std::max(0.0, std::floor((static_cast<double>(history.lowest.cents) - spread * 0.18) / step) * step);
    plot.high = std::ceil((static_cast<double>(history.highest.cents) + spread * 0.22) / step) * step;

    std::string svg;
    svg += "<svg class=\"plot\" xmlns=\"http://www.w3.org/2000/svg\" width=\"960\" height=\"484\" "
           "viewBox=\"0 0 960 484\">\n";
    svg += "<text x=\"504\" y=\"250\" text-anchor=\"middle\" font-size=\"112\" font-weight=\"700\" fill=\"#2559a8\" "
           "fill-opacity=\"0.06\" transform=\"rotate(-10 504 250)\">示例数据</text>\n";

    // Horizontal grid and price labels.
    for (double tick = plot.low; tick <= plot.high + step / 2; tick += step) {
        const auto cents = static_cast<std::int64_t>(std::llround(tick));
        const std::string y = number(plot.y(cents));
        svg += "<line x1=\"" + number(plot.left) + "\" x2=\"" + number(plot.right) + "\" y1=\"" + y + "\" y2=\"" + y +
               "\" stroke=\"#e3e8ef\" stroke-width=\"1\"/>\n";
        svg += "<text x=\"" + number(plot.left - 10) + "\" y=\"" + number(plot.y(cents) + 4) +
               "\" text-anchor=\"end\" font-size=\"12\" fill=\"#6b7787\">" + axis_price(tick / 1.0) + "</text>\n";
    }

    // A mark and a label at the first day of each month.
    for (int i = 0; i < plot.day_count; ++i) {
        const std::chrono::year_month_day date{history.days[static_cast<std::size_t>(i)].day};
        if (static_cast<unsigned>(date.day()) != 1) continue;
        const std::string x = number(plot.x(i));
        svg += "<line x1=\"" + x + "\" x2=\"" + x + "\" y1=\"" + number(plot.top) + "\" y2=\"" + number(plot.bottom) +
               "\" stroke=\"#eef1f5\" stroke-width=\"1\"/>\n";
        svg += "<text x=\"" + x + "\" y=\"" + number(plot.bottom + 20) +
               "\" text-anchor=\"middle\" font-size=\"12\" fill=\"#6b7787\">" +
               day_text(history.days[static_cast<std::size_t>(i)].day).substr(0, 7) + "</text>\n";
    }
    svg += "<line x1=\"" + number(plot.left) + "\" x2=\"" + number(plot.right) + "\" y1=\"" + number(plot.bottom) +
           "\" y2=\"" + number(plot.bottom) + "\" stroke=\"#9aa5b4\" stroke-width=\"1\"/>\n";

    // The price as steps: it holds all day and changes at midnight.
    std::string steps = "M" + number(plot.x(0)) + " " + number(plot.y(history.days.front().cents));
    for (int i = 1; i < plot.day_count; ++i) {
        steps += " H" + number(plot.x(i));
        steps += " V" + number(plot.y(history.days[static_cast<std::size_t>(i)].cents));
    }
    svg += "<path d=\"" + steps + " V" + number(plot.bottom) + " H" + number(plot.left) +
           " Z\" fill=\"#2f6fc9\" fill-opacity=\"0.08\" stroke=\"none\"/>\n";
    svg += "<path d=\"" + steps + "\" fill=\"none\" stroke=\"#2f6fc9\" stroke-width=\"2\" stroke-linejoin=\"round\"/>\n";

    auto index_of = [&](const DayPrice& price) {
        return static_cast<int>((price.day - history.days.front().day).count());
    };
    const bool current_is_high = history.current.day == history.highest.day;
    const bool current_is_low = history.current.day == history.lowest.day;
    std::vector<Marker> markers{
        {current_is_high ? "最高（当前）" : "最高", "#d93a3a", history.highest, false},
        {current_is_low ? "最低（当前）" : "最低", "#1f8a4c", history.lowest, true},
    };
    if (!current_is_high && !current_is_low) markers.push_back({"当前", "#2559a8", history.current, false});
    for (const Marker& marker : markers) {
        const double x = plot.x(index_of(marker.price));
        const double y = plot.y(marker.price.cents);
        const char* anchor = x < plot.left + 90 ? "start" : x > plot.right - 90 ? "end" : "middle";
        const double label_y = marker.label_below ? y + 22 : y - 12;
        svg += "<circle cx=\"" + number(x) + "\" cy=\"" + number(y) + "\" r=\"5\" fill=\"#fff\" stroke=\"" +
               marker.colour + "\" stroke-width=\"2.5\"/>\n";
        svg += "<text x=\"" + number(x) + "\" y=\"" + number(label_y) + "\" text-anchor=\"" + anchor +
               "\" font-size=\"13\" font-weight=\"700\" fill=\"" + marker.colour + "\" stroke=\"#fff\" "
               "stroke-width=\"4\" paint-order=\"stroke\">" + marker.name + " ¥" + price_text(marker.price.cents) +
               "</text>\n";
    }

    svg += "<text x=\"" + number(plot.left) + "\" y=\"472\" font-size=\"12\" fill=\"#9a6a00\">"
           "示例数据：按商品地址推算的演示价格，不是真实价格。</text>\n";
    svg += "<text x=\"" + number(plot.right) + "\" y=\"472\" text-anchor=\"end\" font-size=\"12\" fill=\"#6b7787\">"
           "每日价格 · 近 " + std::to_string(plot.day_count) + " 天</text>\n";
    svg += "</svg>\n";
    return svg;
}

std::string chart_style() {
    std::string css;
    css += ".chart{height:" + px(chart_rows) + ";overflow:hidden;background:#fff;border-bottom:1px solid #dfe4ec}\n";
    css += ".product{height:92px;padding:12px 28px 0;border-bottom:1px solid #eef1f5;overflow:hidden}\n";
    css += ".address{display:flex;gap:10px;align-items:baseline;height:22px}\n";
    css += ".address .label{flex:none;font-size:12px;color:#6b7787}\n";
    css += ".address .url{flex:1;white-space:nowrap;overflow:hidden;text-overflow:ellipsis;font-size:14px;"
           "color:#1d2733}\n";
    css += ".stats{display:flex;gap:12px;margin-top:8px;height:44px}\n";
    css += ".stat{flex:1;border-radius:6px;padding:4px 12px;background:#f6f8fb;display:flex;align-items:baseline;"
           "gap:8px;white-space:nowrap;overflow:hidden}\n";
    css += ".stat b{font-size:12px;font-weight:400;color:#6b7787}\n";
    css += ".stat em{font-style:normal;font-size:18px;font-weight:700;line-height:36px}\n";
    css += ".stat i{font-style:normal;font-size:12px;color:#6b7787}\n";
    css += ".stat.high em{color:#d93a3a}.stat.low em{color:#1f8a4c}.stat.now em{color:#2559a8}\n";
    css += ".stamp{flex:none;width:112px;border:2px solid #ffb020;color:#9a6a00;border-radius:6px;font-weight:700;"
           "text-align:center;line-height:40px;font-size:15px;letter-spacing:2px}\n";
    css += ".plot{display:block}\n";
    return css;
}

std::string stat(const char* kind, const char* name, const DayPrice& price) {
    return std::string("<div class=\"stat ") + kind + "\"><b>" + name + "</b><em>¥" + price_text(price.cents) +
           "</em><i>" + day_text(price.day) + "</i></div>";
}

std::string chart_section(std::string_view shown_address, const PriceHistory& history) {
    const std::string address = html_escape(shown_address);
    std::string html;
    html += "<section class=\"chart\">\n<div class=\"product\">\n";
    html += "<div class=\"address\"><span class=\"label\">商品地址</span><span class=\"url\" title=\"" + address +
            "\">" + address + "</span></div>\n";
    html += "<div class=\"stats\">" + stat("high", "最高价", history.highest) + stat("low", "最低价", history.lowest) +
            stat("now", "当前价", history.current) + "<div class=\"stamp\">示例数据</div></div>\n";
    html += "</div>\n";
    html += chart_svg(history);
    html += "</section>\n";
    return html;
}

std::string about_style() {
    std::string css;
    css += ".about{background:#fff;margin:16px 28px 0;border-radius:8px;padding:16px 20px;"
           "border:1px solid #dfe4ec}\n";
    css += ".about h2{margin:0 0 8px;font-size:16px}\n";
    css += ".about p{margin:0 0 12px;color:#3a4656}\n";
    css += ".about dt{font-size:12px;color:#6b7787;margin-top:8px}\n";
    css += ".about dd{margin:2px 0 0;word-break:break-all}\n";
    css += ".about code{font-family:\"Noto Sans Mono CJK SC\",\"DejaVu Sans Mono\",monospace;font-size:12px;"
           "color:#3a4656}\n";
    return css;
}

std::string about_section(std::string_view shown_address, std::string_view raw_hisurl) {
    std::string html;
    html += "<section class=\"about\">\n<h2>关于这份示例数据</h2>\n";
    html += "<p>本页由随程序附带的示例价格服务生成。真实的价格服务在此无法访问，"
            "所以这里的价格由商品地址推算而来：同一地址总得到同一条走势，但它们都不是真实价格。</p>\n";
    html += "<dl><dt>商品地址</dt><dd>" + html_escape(shown_address) + "</dd>";
    html += "<dt>收到的查询（原样）</dt><dd><code>hisurl=" + html_escape(raw_hisurl) + "</code></dd></dl>\n";
    html += "</section>\n<footer>价格走势 · 示例服务 · 仅供演示</footer>\n";
    return html;
}

}  // namespace

std::string history_page(std::string_view raw_hisurl) {
    const std::string shown = readable_address(raw_hisurl);
    const PriceHistory history = sample_history(percent_decode(raw_hisurl));

    std::string html = page_start("示例数据 · 商品历史价格", site_head_style() + chart_style() + about_style());
    html += site_head(shown, history);
    html += chart_section(shown, history);
    html += about_section(shown, raw_hisurl);
    html += "</body>\n</html>\n";
    return html;
}

std::string not_found_page(std::string_view raw_target) {
    std::string html = page_start("404 · 页面不存在",
                                  ".missing{background:#fff;margin:40px 28px;border-radius:8px;padding:28px 32px;"
                                  "border:1px solid #dfe4ec}\n.missing h1{margin:0 0 10px;font-size:22px}\n"
                                  ".missing code{word-break:break-all;font-size:13px}\n");
    html += "<div class=\"site\" style=\"height:48px\"><div class=\"bar\"><span class=\"logo\">价</span>"
            "<span class=\"brand\">价格走势<small>示例服务</small></span></div></div>\n";
    html += "<div class=\"missing\"><h1>404 · 页面不存在</h1>\n<p>请求的地址：<code>" + html_escape(raw_target) +
            "</code></p>\n<p>查询商品请用 <code>/his.php?hisurl=商品地址</code>。</p></div>\n";
    html += "<footer>价格走势 · 示例服务 · 仅供演示</footer>\n</body>\n</html>\n";
    return html;
}

}  // namespace ph::sample
