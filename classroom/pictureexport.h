#pragma once

// The canvas as a file or on paper, drawn afresh from its display list: SVG and PDF as vectors with text as
// text, PNG at four times the logical size, BMP as the canvas picture itself. An SVG or a PDF names the
// program and its curves in its title; any of them may put the canvas on white. Files are written the one
// safe way (runtime/savefile.h): a failed write leaves an older file of that name as it was and no new file
// behind, and a read-only file is refused.

#include "curves/canvasdescription.h"
#include "drawing/displaylist.h"
#include "drawing/surface.h"

#include <QByteArray>
#include <QImage>
#include <QRectF>
#include <QString>
#include <QStringList>

class QPrinter;

namespace canvas {

enum class PictureFormat { Svg, Pdf, Png, Bmp };

/// The file types offered by the export dialog, in their order: "SVG (*.svg)", "PDF (*.pdf)", ...
const QStringList& exportFilters();

/// Where and how a picture is written.
struct ExportTarget {
    QString path;
    PictureFormat format;
};

/// The target for a name chosen in the export dialog with `filter`: a name ending in a known extension
/// (in any case) keeps it and decides the type; any other name gets the filter's extension appended.
ExportTarget exportTarget(const QString& name, const QString& filter);

/// What a picture of the canvas says about itself, and the colour under its drawing.
struct PictureLook {
    /// The program that made it, its title and its description (an SVG's <title> and <desc>, a PDF's
    /// creator, title and description); empty ones are left out.
    QString program;
    QString title;
    QString description;
    /// The canvas on white rather than its own colour; the screen keeps its colour.
    bool whiteBackground = false;
};

/// The look of a picture of the canvas `canvas` describes, made by `program`: titled with the program and
/// the formulas of the curves ("Quorvex：y = x^2, y = x^3", the program alone without curves), described
/// by the program and the canvas in words ("Quorvex：x 从 负 10 到 10, …, 图象 y 等于 x 的 2 次方").
PictureLook pictureLook(const QString& program, const CanvasDescription& canvas, bool whiteBackground);

/// The canvas as an SVG document of its logical size.
QByteArray svgPicture(const DisplayList& list, const PictureLook& look = {});
/// The canvas drawn at `factor` times its logical size.
QImage largePicture(const DisplayList& list, int factor, bool whiteBackground = false);

/// Writes the canvas to `path`; on failure returns false with the reason, in Chinese, in `reason`.
bool writePicture(Surface& surface, const QString& path, PictureFormat format, QString* reason,
                  const PictureLook& look = {});

/// The largest rectangle of the picture's aspect ratio that fits in `area`, centred in it.
QRectF fitCentred(QSizeF picture, const QRectF& area);
/// Prints the canvas on one page of `printer`, fitted to the printable area and centred, on white when
/// asked; false when the printer could not be written to (a folder that cannot be written, a printer that
/// went away).
bool printPicture(const DisplayList& list, QPrinter& printer, bool whiteBackground = false);

} // namespace canvas
