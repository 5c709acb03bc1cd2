// The rasteriser itself: lines, dots and texts (of every kind of glyph) at any finite coordinates, with any
// pen width, colour, font style and mapping, on a small canvas of any size and density. No crash, no
// sanitizer report, bounded time; the picture keeps its size, and an operation the canvas refuses (a
// coordinate beyond single precision, an empty mapping) is a RuntimeError, never a fault.

#include "fuzzsupport.h"

#include <string_view>

using fuzzsupport::check;

namespace {

double coordinate(fuzzsupport::Bytes& bytes) {
    const double v = bytes.take<double>();
    return std::isfinite(v) ? v : 0;
}

// The characters a text may hold: what the canvases print (digits, the signs and the exponent of a number,
// the axis letters) and one of each other kind of glyph: none (spaces, a zero-width one), a descender, a
// wide letter, a mark below, a combining mark that inks left of its position, other scripts (Cyrillic,
// Hebrew, Arabic), wide ideographs and a fullwidth letter from the CJK fallback font, and a code point no
// font has. Which character of a kind it is does not matter to the rasteriser, and every character new to
// the process costs Qt's font fallback milliseconds: a random code point from a wide range made nearly
// every input such a search.
constexpr std::u16string_view kAlphabet =
    u"0123456789.-+ExyO gW\u1E2D\u0301\u00C5\u0416\u05D0\u0627\u200B\u3000\u4E2D\u5750\u0378\uFF21";

// A character from two bytes. A code point of the alphabet stands for itself, as it did when the bytes named
// any code point from U+0020 to U+301F (so the inputs kept from then print what they always printed); any
// other picks an entry of the alphabet.
char16_t character(std::uint16_t bytes) {
    const auto named = static_cast<char16_t>(bytes % 0x3000 + 0x20);
    for (const char16_t c : kAlphabet)
        if (c == named)
            return c;
    return kAlphabet[bytes % kAlphabet.size()];
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzzsupport::initialise();
    fuzzsupport::Bytes bytes(data, size);
    const int width = 1 + bytes.take<std::uint8_t>() % 64;
    const int height = 1 + bytes.take<std::uint8_t>() % 64;
    const qreal ratio = 1 + bytes.take<std::uint8_t>() % 3 * 0.5;
    canvas::Surface surface(QSize(width, height), bytes.take<std::uint32_t>() & 0xFFFFFF,
                            bytes.take<std::uint32_t>() & 0xFFFFFF, ratio);
    const QSize device = surface.Image().size();
    // A window draws a few dozen operations between two repaints; a longer input is cut there.
    for (int op = 0; op < 64 && bytes.left() > 0; ++op) {
        try {
            switch (bytes.take<std::uint8_t>() % 9) {
            case 0:
                surface.Cls();
                break;
            case 1:
                surface.Scale(coordinate(bytes), coordinate(bytes), coordinate(bytes), coordinate(bytes));
                break;
            case 2:
            case 3:
                surface.Line(coordinate(bytes), coordinate(bytes), coordinate(bytes), coordinate(bytes),
                             bytes.take<std::uint32_t>() & 0xFFFFFF);
                break;
            case 4:
                surface.PSet(coordinate(bytes), coordinate(bytes));
                break;
            case 5: {
                const int length = bytes.take<std::uint8_t>() % 24;
                QString text;
                for (int i = 0; i < length; ++i)
                    text += QChar(character(bytes.take<std::uint16_t>()));
                surface.Print(text);
                break;
            }
            case 6:
                surface.Print(coordinate(bytes));
                break;
            case 7:
                surface.setCurrentX(coordinate(bytes));
                surface.setCurrentY(coordinate(bytes));
                break;
            default:
                // Pen widths as the windows set them, and far beyond (up to a whole canvas and more).
                surface.setDrawWidth(bytes.take<std::uint8_t>());
                surface.setFontItalic(bytes.take<std::uint8_t>() & 1);
                break;
            }
        } catch (const canvas::RuntimeError&) {
        }
    }
    check(surface.Image().size() == device);
    check(surface.picture().size() == QSize(width, height));
    return 0;
}
