// The rasteriser itself: lines, dots and texts at any finite coordinates, with any pen width, colour, font
// style and mapping, on a small canvas of any size and density. No crash, no sanitizer report, bounded
// time; the picture keeps its size, and an operation the canvas refuses (a coordinate beyond single
// precision, an empty mapping) is a RuntimeError, never a fault.

#include "fuzzsupport.h"

#include <memory>

using fuzzsupport::check;

namespace {

double coordinate(fuzzsupport::Bytes& bytes) {
    const double v = bytes.take<double>();
    return std::isfinite(v) ? v : 0;
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
                    text += QChar(static_cast<char16_t>(bytes.take<std::uint16_t>() % 0x3000 + 0x20));
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
