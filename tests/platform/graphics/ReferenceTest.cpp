// Every case of the reference images (tests/platform/graphics/references, drawn by the desktop
// graphics interface through tools/reference) drawn again through the device context and compared
// pixel by pixel. Text cases compare the box the text covers and DrawText's result: the faces
// differ.

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "platform/graphics/DeviceContext.h"

namespace gfx::testing {
namespace {

struct ReferenceCase {
    std::string name;
    std::string ops;
    std::string returns;
    bool mask = false;  // the picture says only which pixels changed
    int width = 0;
    int height = 0;
    std::vector<Colour> pixels;  // a mask holds 1 where a pixel changed
};

Colour Hex(const std::string& s) {
    return static_cast<Colour>(std::stoul(s, nullptr, 16));
}

std::vector<ReferenceCase> LoadGroup(const std::string& group) {
    std::ifstream in(std::string(TOLVANE_REFERENCE_DIR) + "/" + group + ".txt");
    std::vector<ReferenceCase> cases;
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("case ", 0) == 0) {
            cases.emplace_back();
            cases.back().name = line.substr(5);
        } else if (line.rfind("ops ", 0) == 0) {
            cases.back().ops = line.substr(4);
        } else if (line.rfind("returns ", 0) == 0) {
            cases.back().returns = line.substr(8);
        } else if (line.rfind("image ", 0) == 0 || line.rfind("mask ", 0) == 0) {
            ReferenceCase& c = cases.back();
            std::istringstream head(line);
            std::string kind;
            head >> kind >> c.width >> c.height;
            c.mask = kind == "mask";
            Colour palette[128] = {};
            for (std::string entry; head >> entry;) {
                palette[static_cast<unsigned char>(entry[0]) & 127] = Hex(entry.substr(2));
            }
            std::istringstream canvas(c.ops);
            std::string word, background;
            canvas >> word >> word >> word >> background;  // canvas W H BG
            const Colour bg = Hex(background);
            for (int y = 0; y < c.height && std::getline(in, line); ++y) {
                for (int x = 0; x < c.width; ++x) {
                    const char s = x < static_cast<int>(line.size()) ? line[x] : '.';
                    c.pixels.push_back(c.mask     ? s == '#'
                                       : s == '.' ? bg
                                                  : palette[static_cast<unsigned char>(s) & 127]);
                }
            }
        }
    }
    return cases;
}

// Runs a case's operations through a device context, as tools/reference runs them through the
// desktop interface.
struct Drawing {
    Bitmap bitmap;
    Colour background = 0;
    std::string returns;
};

Drawing RunOps(const std::string& ops) {
    Drawing out;
    DeviceContext dc;
    std::unique_ptr<Pen> pen;
    std::unique_ptr<Brush> brush;
    std::unique_ptr<Font> font;
    std::istringstream script(ops);
    for (std::string op; std::getline(script, op, ';');) {
        std::istringstream in(op);
        std::string name;
        in >> name;
        std::vector<int> v;
        std::string token;
        const auto number = [&](bool hex) {
            in >> token;
            return static_cast<int>(std::stol(token, nullptr, hex ? 16 : 10));
        };
        if (name == "canvas") {
            const int w = number(false), h = number(false);
            out.background = static_cast<Colour>(number(true));
            out.bitmap = Bitmap(w, h, out.background);
            dc.SelectObject(&out.bitmap);
        } else if (name == "checker") {
            const int cell = number(false);
            const Colour a = static_cast<Colour>(number(true)),
                         b = static_cast<Colour>(number(true));
            for (int y = 0; y < out.bitmap.Height(); ++y) {
                for (int x = 0; x < out.bitmap.Width(); ++x) {
                    out.bitmap.SetPixel(x, y, (x / cell + y / cell) % 2 ? b : a);
                }
            }
        } else if (name == "pen") {
            const int w = number(false);
            auto next = std::make_unique<Pen>(w, static_cast<Colour>(number(true)));
            dc.SelectObject(next.get());
            pen = std::move(next);
        } else if (name == "brush") {
            auto next = std::make_unique<Brush>(static_cast<Colour>(number(true)));
            dc.SelectObject(next.get());
            brush = std::move(next);
        } else if (name == "rop") {
            dc.SetROP2(number(false));
        } else if (name == "font") {
            int px = 0;
            std::string face;
            in >> px >> face;
            // Point tenths whose pixel height is exactly px.
            auto next = std::make_unique<Font>((px * 720 + 95) / 96, face);
            EXPECT_EQ(next->PixelHeight(), px);
            dc.SelectObject(next.get());
            font = std::move(next);
        } else if (name == "bkmode") {
            dc.SetBkMode(number(false));
        } else if (name == "bkcolor") {
            dc.SetBkColor(static_cast<Colour>(number(true)));
        } else if (name == "textcolor") {
            dc.SetTextColor(static_cast<Colour>(number(true)));
        } else if (name == "text") {
            Rect r;
            unsigned format = 0;
            in >> r.left >> r.top >> r.right >> r.bottom >> std::hex >> format;
            std::string text;
            std::getline(in >> std::ws, text);
            const int result = dc.DrawText(text, r, format);
            out.returns += (out.returns.empty() ? "" : " ") + std::to_string(result);
        } else {
            while (in >> token) {
                v.push_back(std::stoi(token));
            }
            if (name == "rect") {
                dc.Rectangle(v[0], v[1], v[2], v[3]);
            } else if (name == "ellipse") {
                dc.Ellipse(v[0], v[1], v[2], v[3]);
            } else if (name == "arc") {
                dc.Arc(v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7]);
            } else if (name == "line") {
                dc.MoveTo(v[0], v[1]);
                dc.LineTo(v[2], v[3]);
            } else if (name == "poly") {
                std::vector<Point> points;
                for (std::size_t i = 0; i + 1 < v.size(); i += 2) {
                    points.push_back({v[i], v[i + 1]});
                }
                dc.Polygon(points.data(), static_cast<int>(points.size()));
            } else {
                ADD_FAILURE() << "unknown operation " << name;
            }
        }
    }
    return out;
}

// The two pictures side by side, reference left, one character per pixel: '.' unchanged,
// '#' drawn, '*' drawn in another colour than the reference.
std::string SideBySide(const ReferenceCase& c, const Drawing& d, auto&& expectedAt) {
    std::ostringstream out;
    for (int y = 0; y < c.height; ++y) {
        for (int x = 0; x < c.width; ++x) {
            const bool drawn = c.mask ? expectedAt(x, y) != 0 : expectedAt(x, y) != d.background;
            out << (drawn ? '#' : '.');
        }
        out << "   ";
        for (int x = 0; x < c.width; ++x) {
            const Colour got = d.bitmap.GetPixel(x, y);
            const bool wrong = !c.mask && got != d.background && got != expectedAt(x, y);
            out << (got == d.background ? '.' : wrong ? '*' : '#');
        }
        out << '\n';
    }
    return out.str();
}

class ReferenceTest : public ::testing::TestWithParam<const char*> {};

TEST_P(ReferenceTest, EveryCaseDrawsAsTheReference) {
    const std::vector<ReferenceCase> cases = LoadGroup(GetParam());
    ASSERT_FALSE(cases.empty()) << "no reference file for " << GetParam();
    int identical = 0;
    int pictures = 0;
    for (const ReferenceCase& c : cases) {
        const Drawing d = RunOps(c.ops);
        ASSERT_EQ(d.bitmap.Width(), c.width) << c.name;
        ASSERT_EQ(d.bitmap.Height(), c.height) << c.name;
        const auto expectedAt = [&](int x, int y) {
            return c.pixels[static_cast<std::size_t>(y) * c.width + x];
        };
        int differing = 0;
        for (int y = 0; y < c.height; ++y) {
            for (int x = 0; x < c.width; ++x) {
                const Colour got = d.bitmap.GetPixel(x, y);
                const Colour seen = c.mask ? (got != d.background ? 1 : 0) : got;
                differing += seen != expectedAt(x, y);
            }
        }
        EXPECT_EQ(d.returns, c.returns) << c.name << ": " << c.ops;
        if (differing == 0) {
            ++identical;
            continue;
        }
        ADD_FAILURE() << c.name << ": " << differing << " pixels differ: " << c.ops
                      << (pictures++ < 3 ? "\nreference, drawn:\n" + SideBySide(c, d, expectedAt)
                                         : std::string());
    }
    std::cout << GetParam() << ": " << identical << " of " << cases.size() << " cases identical\n";
}

INSTANTIATE_TEST_SUITE_P(Groups, ReferenceTest,
                         ::testing::Values("ellipse", "arc", "line", "wideline", "polygon",
                                           "rectangle", "xor", "text"),
                         [](const auto& info) { return std::string(info.param); });

}  // namespace
}  // namespace gfx::testing
