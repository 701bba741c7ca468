#pragma once

// A drawn image to read pixels from, for checking what widgets paint.

#include <cairomm/surface.h>

#include <ostream>
#include <string>

namespace ph::test {

struct Colour {
    int red = 0;
    int green = 0;
    int blue = 0;
    friend bool operator==(const Colour&, const Colour&) = default;
};
std::ostream& operator<<(std::ostream& out, const Colour& colour);

struct Area {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool contains(int px, int py) const {
        return px >= x && px < x + width && py >= y && py < y + height;
    }
};

// Opaque RGB pixels of a cairo image surface (alpha is ignored: the scenes
// paint an opaque background first).
class Picture {
public:
    explicit Picture(Cairo::RefPtr<Cairo::ImageSurface> surface);

    int width() const;
    int height() const;
    Colour at(int x, int y) const;
    bool same_pixels_as(const Picture& other) const;
    void save_png(const std::string& path) const;

private:
    Cairo::RefPtr<Cairo::ImageSurface> surface_;
};

}  // namespace ph::test
