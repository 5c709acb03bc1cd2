#include "classroom/pictureexport.h"

#include "runtime/savefile.h"

#include <QBuffer>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QSvgGenerator>

#include <algorithm>

namespace canvas {

namespace {

struct FormatRow {
    PictureFormat format;
    QString filter;
    QString extension;
};

const std::vector<FormatRow>& formats() {
    static const std::vector<FormatRow> rows{
        {PictureFormat::Svg, QStringLiteral("SVG (*.svg)"), QStringLiteral("svg")},
        {PictureFormat::Pdf, QStringLiteral("PDF (*.pdf)"), QStringLiteral("pdf")},
        {PictureFormat::Png, QStringLiteral("PNG (*.png)"), QStringLiteral("png")},
        {PictureFormat::Bmp, QStringLiteral("BMP (*.bmp)"), QStringLiteral("bmp")},
    };
    return rows;
}

// The logical canvas pixel is a pixel of a 96 dpi screen: the page of a PDF is the canvas at that size.
constexpr int kCanvasDpi = 96;
// PNG exports are drawn at this many device pixels per logical pixel.
constexpr int kLargeFactor = 4;

DisplayList::Background backgroundOf(bool whiteBackground) {
    return whiteBackground ? DisplayList::Background::White : DisplayList::Background::Canvas;
}

void writeSvg(const DisplayList& list, QIODevice* device, const PictureLook& look) {
    QSvgGenerator svg;
    svg.setOutputDevice(device);
    svg.setSize(list.size());
    svg.setViewBox(QRect(QPoint(0, 0), list.size()));
    svg.setResolution(kCanvasDpi);
    // Set even when empty: the generator's own are "Qt SVG Document" and "Generated with Qt".
    svg.setTitle(look.title);
    svg.setDescription(look.description);
    QPainter painter(&svg);
    list.replay(painter, DisplayList::Edges::Smooth, backgroundOf(look.whiteBackground));
}

// The PDF's own metadata (XMP), which a viewer shows as the document's properties: Qt's writer gives the
// title alone, and the description has no other place in a PDF it writes.
QByteArray xmpMetadata(const PictureLook& look) {
    const auto text = [](const QString& s) { return s.toHtmlEscaped().toUtf8(); };
    const auto alternative = [&](const char* element, const QString& value) {
        return "<" + QByteArray(element) + "><rdf:Alt><rdf:li xml:lang='x-default'>" + text(value) +
               "</rdf:li></rdf:Alt></" + QByteArray(element) + ">";
    };
    return "<?xpacket begin='' id='W5M0MpCehiHzreSzNTczkc9d'?>"
           "<x:xmpmeta xmlns:x='adobe:ns:meta/'>"
           "<rdf:RDF xmlns:rdf='http://www.w3.org/1999/02/22-rdf-syntax-ns#'>"
           "<rdf:Description rdf:about='' xmlns:dc='http://purl.org/dc/elements/1.1/'>" +
           alternative("dc:title", look.title) + alternative("dc:description", look.description) +
           "</rdf:Description>"
           "<rdf:Description rdf:about='' xmlns:xmp='http://ns.adobe.com/xap/1.0/' xmp:CreatorTool='" +
           text(look.program) +
           "'/>"
           "</rdf:RDF></x:xmpmeta><?xpacket end='w'?>";
}

void writePdf(const DisplayList& list, QIODevice* device, const PictureLook& look) {
    QPdfWriter pdf(device);
    pdf.setResolution(kCanvasDpi);
    pdf.setTitle(look.title);
    pdf.setCreator(look.program);
    if (!look.title.isEmpty())
        pdf.setDocumentXmpMetadata(xmpMetadata(look));
    const QSizeF points = QSizeF(list.size()) * 72.0 / kCanvasDpi;
    pdf.setPageLayout(QPageLayout(QPageSize(points, QPageSize::Point, QString(), QPageSize::ExactMatch),
                                  QPageLayout::Portrait, QMarginsF()));
    QPainter painter(&pdf);
    list.replay(painter, DisplayList::Edges::Smooth, backgroundOf(look.whiteBackground));
}

} // namespace

const QStringList& exportFilters() {
    static const QStringList filters = [] {
        QStringList list;
        for (const FormatRow& row : formats())
            list << row.filter;
        return list;
    }();
    return filters;
}

ExportTarget exportTarget(const QString& name, const QString& filter) {
    for (const FormatRow& row : formats())
        if (name.endsWith(QLatin1Char('.') + row.extension, Qt::CaseInsensitive))
            return {name, row.format};
    const auto chosen = std::find_if(formats().begin(), formats().end(),
                                     [&](const FormatRow& row) { return row.filter == filter; });
    const FormatRow& row = chosen != formats().end() ? *chosen : formats().front();
    return {name + QLatin1Char('.') + row.extension, row.format};
}

PictureLook pictureLook(const QString& program, const CanvasDescription& canvas, bool whiteBackground) {
    QStringList formulas;
    for (const CurveRecord& curve : canvas.curves())
        formulas << curve.formula;
    const QString colon = QStringLiteral("：");
    // The words the canvas says, without what it adds for a listener about the window (a hint).
    QString words = canvas.text();
    const QString hint = QStringLiteral(", ") + canvas.state().hint;
    if (!canvas.state().hint.isEmpty() && words.endsWith(hint))
        words.chop(hint.size());
    return {program, formulas.isEmpty() ? program : program + colon + formulas.join(QStringLiteral(", ")),
            program + colon + words, whiteBackground};
}

QByteArray svgPicture(const DisplayList& list, const PictureLook& look) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    writeSvg(list, &buffer, look);
    return buffer.data();
}

QImage largePicture(const DisplayList& list, int factor, bool whiteBackground) {
    QImage image(list.size() * factor, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.scale(factor, factor);
    list.replay(painter, DisplayList::Edges::Smooth, backgroundOf(whiteBackground));
    return image;
}

namespace {

// The BMP is the canvas as the screen shows it, pixel for pixel; on white it is drawn again from the list
// with whole-pixel edges, as the canvas draws itself at a new density.
QImage bmpPicture(Surface& surface, bool whiteBackground) {
    if (!whiteBackground)
        return surface.picture();
    const DisplayList& list = surface.displayList();
    QImage image(list.size(), QImage::Format_RGB32);
    QPainter painter(&image);
    list.replay(painter, DisplayList::Edges::Aliased, DisplayList::Background::White);
    return image;
}

// The file's whole content, made in memory so that nothing touches the disk before it is complete.
QByteArray encodedPicture(Surface& surface, PictureFormat format, const PictureLook& look) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    bool encoded = true;
    switch (format) {
    case PictureFormat::Svg:
        writeSvg(surface.displayList(), &buffer, look);
        break;
    case PictureFormat::Pdf:
        writePdf(surface.displayList(), &buffer, look);
        break;
    case PictureFormat::Png:
        encoded =
            largePicture(surface.displayList(), kLargeFactor, look.whiteBackground).save(&buffer, "PNG");
        break;
    case PictureFormat::Bmp:
        encoded = bmpPicture(surface, look.whiteBackground).save(&buffer, "BMP");
        break;
    }
    return encoded ? bytes : QByteArray();
}

} // namespace

bool writePicture(Surface& surface, const QString& path, PictureFormat format, QString* reason,
                  const PictureLook& look) {
    const QByteArray bytes = encodedPicture(surface, format, look);
    const SaveOutcome outcome = bytes.isEmpty() ? SaveOutcome::WriteFailed : saveFile(path, bytes);
    *reason = saveFailureReason(outcome);
    return outcome == SaveOutcome::Saved;
}

QRectF fitCentred(QSizeF picture, const QRectF& area) {
    if (picture.isEmpty() || area.isEmpty())
        return {};
    const QSizeF fitted = picture.scaled(area.size(), Qt::KeepAspectRatio);
    return {area.center() - QPointF(fitted.width() / 2, fitted.height() / 2), fitted};
}

bool printPicture(const DisplayList& list, QPrinter& printer, bool whiteBackground) {
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    // The painter's origin is the corner of the printable area.
    const QRectF area(QPointF(0, 0), printer.pageLayout().paintRectPixels(printer.resolution()).size());
    const QRectF target = fitCentred(QSizeF(list.size()), area);
    if (!target.isEmpty()) {
        painter.translate(target.topLeft());
        painter.scale(target.width() / list.size().width(), target.height() / list.size().height());
        list.replay(painter, DisplayList::Edges::Smooth, backgroundOf(whiteBackground));
    }
    return painter.end();
}

} // namespace canvas
