// The pages of the sample price-history service.
#pragma once

#include <string>
#include <string_view>

namespace ph::sample {

// The page is laid out in fixed pixel rows, since the program shows one band of it.
inline constexpr int page_width = 960;
inline constexpr int site_head_rows = 235;  // page rows 0..234: the site's head
inline constexpr int chart_rows = 576;      // page rows 235..810: the product's price chart

// The page for one product; `raw_hisurl` is the address as the query carried it.
std::string history_page(std::string_view raw_hisurl);

// The page for any other request; `raw_target` is shown on it.
std::string not_found_page(std::string_view raw_target);

}  // namespace ph::sample
