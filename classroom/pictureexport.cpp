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

void writeSvg(const DisplayList& list, QIODevice* device) {
    QSvgGenerator svg;
    svg.setOutputDevice(device);
    svg.setSize(list.size());
    svg.setViewBox(QRect(QPoint(0, 0), list.size()));
    svg.setResolution(kCanvasDpi);
    QPainter painter(&svg);
    list.replay(painter);
}

void writePdf(const DisplayList& list, QIODevice* device) {
    QPdfWriter pdf(device);
    pdf.setResolution(kCanvasDpi);
    const QSizeF points = QSizeF(list.size()) * 72.0 / kCanvasDpi;
    pdf.setPageLayout(QPageLayout(QPageSize(points, QPageSize::Point, QString(), QPageSize::ExactMatch),
                                  QPageLayout::Portrait, QMarginsF()));
    QPainter painter(&pdf);
    list.replay(painter);
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

QByteArray svgPicture(const DisplayList& list) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    writeSvg(list, &buffer);
    return buffer.data();
}

QImage largePicture(const DisplayList& list, int factor) {
    QImage image(list.size() * factor, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.scale(factor, factor);
    list.replay(painter);
    return image;
}

namespace {

// The file's whole content, made in memory so that nothing touches the disk before it is complete.
QByteArray encodedPicture(Surface& surface, PictureFormat format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    bool encoded = true;
    switch (format) {
    case PictureFormat::Svg:
        writeSvg(surface.displayList(), &buffer);
        break;
    case PictureFormat::Pdf:
        writePdf(surface.displayList(), &buffer);
        break;
    case PictureFormat::Png:
        encoded = largePicture(surface.displayList(), kLargeFactor).save(&buffer, "PNG");
        break;
    case PictureFormat::Bmp:
        encoded = surface.picture().save(&buffer, "BMP");
        break;
    }
    return encoded ? bytes : QByteArray();
}

} // namespace

bool writePicture(Surface& surface, const QString& path, PictureFormat format, QString* reason) {
    const QByteArray bytes = encodedPicture(surface, format);
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

bool printPicture(const DisplayList& list, QPrinter& printer) {
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    // The painter's origin is the corner of the printable area.
    const QRectF area(QPointF(0, 0), printer.pageLayout().paintRectPixels(printer.resolution()).size());
    const QRectF target = fitCentred(QSizeF(list.size()), area);
    if (!target.isEmpty()) {
        painter.translate(target.topLeft());
        painter.scale(target.width() / list.size().width(), target.height() / list.size().height());
        list.replay(painter);
    }
    return painter.end();
}

} // namespace canvas
