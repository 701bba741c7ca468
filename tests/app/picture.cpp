#include "picture.hpp"

#include <cstdint>
#include <cstring>

namespace ph::test {

std::ostream& operator<<(std::ostream& out, const Colour& colour) {
    return out << "rgb(" << colour.red << ", " << colour.green << ", " << colour.blue << ")";
}

Picture::Picture(Cairo::RefPtr<Cairo::ImageSurface> surface) : surface_(std::move(surface)) {
    surface_->flush();
}

int Picture::width() const { return surface_->get_width(); }

int Picture::height() const { return surface_->get_height(); }

Colour Picture::at(int x, int y) const {
    // CAIRO_FORMAT_RGB24 / ARGB32: one native-endian 32-bit word, 0xAARRGGBB.
    const auto* row = surface_->get_data() + static_cast<std::ptrdiff_t>(y) * surface_->get_stride();
    std::uint32_t word = 0;
    std::memcpy(&word, row + static_cast<std::ptrdiff_t>(x) * 4, sizeof word);
    return {static_cast<int>((word >> 16) & 0xff), static_cast<int>((word >> 8) & 0xff),
            static_cast<int>(word & 0xff)};
}

bool Picture::same_pixels_as(const Picture& other) const {
    if (width() != other.width() || height() != other.height()) return false;
    for (int y = 0; y < height(); ++y)
        for (int x = 0; x < width(); ++x)
            if (!(at(x, y) == other.at(x, y))) return false;
    return true;
}

void Picture::save_png(const std::string& path) const { surface_->write_to_png(path); }

}  // namespace ph::test
