#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/graphics/Types.h"

namespace gfx {

// Solid pen. A width of 0 or 1 draws 1-pixel lines.
class Pen {
public:
    Pen() = default;
    Pen(int width, Colour colour) { CreatePen(width, colour); }
    void CreatePen(int width, Colour colour) {
        width_ = width;
        colour_ = colour;
    }
    void DeleteObject() {}
    int Width() const { return width_ < 1 ? 1 : width_; }
    Colour GetColour() const { return colour_; }

private:
    int width_ = 1;
    Colour colour_ = 0;
};

// Solid brush.
class Brush {
public:
    Brush() = default;
    explicit Brush(Colour colour) { CreateSolidBrush(colour); }
    void CreateSolidBrush(Colour colour) { colour_ = colour; }
    void DeleteObject() {}
    Colour GetColour() const { return colour_; }

private:
    Colour colour_ = 0xFFFFFF;
};

struct FontFace;  // a resolved, rasterising face; defined in the implementation

// A font from a size in tenths of a point and a face name. The pixel height is
// 96 x tenths / 720, truncated (96 dots per logical inch). The face name resolves through
// fontconfig with an alias table (the game's Japanese gothic faces map to IPAGothic and
// IPAPGothic). Faces are cached inside the layer; a Font is cheap to create per call.
// The pixel height is the em (the character height, as the desktop interface takes a
// negative height); the line box is the face's ascent plus descent at that em.
class Font {
public:
    Font() = default;
    Font(int pointTenths, const std::string& face) { CreatePointFont(pointTenths, face); }
    // Returns false when no face at all could be found.
    bool CreatePointFont(int pointTenths, const std::string& face);
    void DeleteObject() { face_.reset(); }

    int PixelHeight() const { return pixelHeight_; }
    // The installed family the face name resolved to ("IPAGothic"), or "" without a face.
    std::string FamilyName() const;
    const std::shared_ptr<FontFace>& Face() const { return face_; }

    // In 64 bits: any int size has a height (an absurd one is clamped when drawn).
    static int PointTenthsToPixels(int pointTenths) {
        return static_cast<int>(std::int64_t{96} * pointTenths / 720);
    }

private:
    int pixelHeight_ = 0;
    std::shared_ptr<FontFace> face_;
};

}  // namespace gfx
