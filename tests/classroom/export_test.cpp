// The canvas leaving the program: SVG, PDF, PNG and BMP files through the export command, printing, and
// the vector copy on the clipboard, in all three programs.

#include "classroom/canvascommands.h"
#include "classroom/exportdialogs.h"
#include "classroom/pictureexport.h"
#include "expolog/family.h"
#include "power/mainwindow.h"
#include "widgets/messagebar.h"

#include "../support/expologwindow.h"
#include "../support/fakeexportdialogs.h"
#include "../support/messagerecorder.h"
#include "../support/picturedifference.h"
#include "../support/plotting.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QMimeData>
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <set>

using canvas::PictureFormat;

namespace {

using testsupport::difference;
using testsupport::kSamePicture;

QImage renderedSvg(const QByteArray& svg, QSize size) {
    QSvgRenderer renderer(svg);
    EXPECT_TRUE(renderer.isValid());
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(size)));
    return image;
}

QByteArray bytesOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The text of the SVG's first element of that name ("title", "desc").
QString svgElement(const QByteArray& svg, const char* name) {
    QXmlStreamReader xml(svg);
    while (!xml.atEnd())
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == QLatin1String(name))
            return xml.readElementText();
    return {};
}

// The texts of the SVG's text elements; fails the test when the document is not well-formed XML.
std::set<QString> svgTexts(const QByteArray& svg) {
    std::set<QString> texts;
    QXmlStreamReader xml(svg);
    while (!xml.atEnd())
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == QLatin1String("text"))
            texts.insert(xml.readElementText(QXmlStreamReader::IncludeChildElements).trimmed());
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    return texts;
}

QString run(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    EXPECT_TRUE(process.waitForFinished(30000)) << program.toStdString() << " did not run";
    return QString::fromUtf8(process.readAllStandardOutput());
}

// A window of one of the programs with a scene drawn on its canvas.
struct Scene {
    const char* name;
    std::function<canvas::Surface&(std::unique_ptr<QWidget>&)> draw;
};

canvas::Surface& quorvex(std::unique_ptr<QWidget>& window,
                         const std::function<void(quorvex::MainWindow&)>& draw) {
    auto form = std::make_unique<quorvex::MainWindow>();
    form->show();
    draw(*form);
    canvas::Surface& s = form->controls().canvas->surface();
    window = std::move(form);
    return s;
}

using testsupport::ExpLog;
using testsupport::powerCurve;

canvas::Surface& expLog(std::unique_ptr<QWidget>& window, const expolog::Family& family,
                        const std::function<void(testsupport::ExpLogWindow&)>& draw) {
    auto holder = std::make_unique<ExpLog>(family);
    draw(holder->w);
    canvas::Surface& s = holder->w.form.controls().canvas->surface();
    window = std::move(holder);
    return s;
}

const Scene kScenes[] = {
    {"start-up frame", [](auto& w) -> canvas::Surface& { return quorvex(w, [](quorvex::MainWindow&) {}); }},
    {"grid",
     [](auto& w) -> canvas::Surface& {
         return quorvex(w, [](quorvex::MainWindow& f) { f.onDrawGridClicked(); });
     }},
    {"two curves",
     [](auto& w) -> canvas::Surface& {
         return quorvex(w, [](quorvex::MainWindow& f) {
             powerCurve(f, "2");
             powerCurve(f, "-1");
         });
     }},
    {"traced curve in Zelmora",
     [](auto& w) -> canvas::Surface& {
         return expLog(w, expolog::kZelmora, [](testsupport::ExpLogWindow& z) {
             z.plot("2");
             z.runTrace();
         });
     }},
    {"inverse and y = x in Tavrinth",
     [](auto& w) -> canvas::Surface& {
         return expLog(w, expolog::kTavrinth, [](testsupport::ExpLogWindow& t) {
             t.plot("2");
             t.runTrace();
             t.form.onInverseClicked();
             t.runInverse();
             t.form.onSymmetryAxisClicked();
         });
     }},
};

} // namespace

TEST(Export, TheSvgDrawnBackMatchesTheCanvas) {
    for (const Scene& scene : kScenes) {
        SCOPED_TRACE(scene.name);
        std::unique_ptr<QWidget> window;
        canvas::Surface& surface = scene.draw(window);
        const QImage svg = renderedSvg(canvas::svgPicture(surface.displayList()), surface.size());
        EXPECT_LT(difference(surface.picture(), svg), kSamePicture);
        // The PNG is the same picture at four times the size.
        const QImage large = canvas::largePicture(surface.displayList(), 4);
        EXPECT_EQ(large.size(), surface.size() * 4);
        EXPECT_LT(difference(surface.picture(),
                             large.scaled(surface.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation)),
                  kSamePicture);
    }
}

TEST(Export, TheMeasureSeesAMissingCurveAndAShiftedPicture) {
    quorvex::MainWindow f;
    powerCurve(f, "2");
    canvas::Surface& surface = f.controls().canvas->surface();
    const QByteArray oneCurve = canvas::svgPicture(surface.displayList());
    powerCurve(f, "3");
    EXPECT_GT(difference(surface.picture(), renderedSvg(oneCurve, surface.size())), kSamePicture);
    const QImage picture = surface.picture();
    EXPECT_GT(difference(picture, picture.copy(2, 2, picture.width(), picture.height())), kSamePicture);
}

TEST(Export, AxisNumbersAreTextInTheSvgAndThePdf) {
    QTemporaryDir dir;
    quorvex::MainWindow f;
    canvas::Surface& surface = f.controls().canvas->surface();
    const std::set<QString> texts = svgTexts(canvas::svgPicture(surface.displayList()));
    for (const char* number : {"-9", "-1", "1", "5", "9"})
        EXPECT_EQ(texts.count(QString::fromLatin1(number)), 1u) << number;

    const QString pdf = dir.filePath("graph.pdf");
    QString reason;
    ASSERT_TRUE(canvas::writePicture(surface, pdf, PictureFormat::Pdf, &reason)) << reason.toStdString();
    const QStringList words = run("pdftotext", {"-layout", pdf, "-"}).split(QRegularExpression("\\s+"));
    for (const char* number : {"-9", "-1", "1", "5", "9"})
        EXPECT_TRUE(words.contains(QString::fromLatin1(number))) << number;
    // The page is the canvas: 389 x 373 pixels at 96 dpi, in whole points.
    EXPECT_TRUE(run("pdfinfo", {pdf}).contains("292 x 280 pts"));
}

TEST(Export, PrintingGivesOnePageWithTheCanvasCentred) {
    QTemporaryDir dir;
    quorvex::MainWindow f;
    powerCurve(f, "2");
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath("print.pdf"));
    printer.setPageSize(QPageSize(QPageSize::A4));
    canvas::printPicture(f.controls().canvas->surface().displayList(), printer);
    EXPECT_TRUE(run("pdfinfo", {dir.filePath("print.pdf")}).contains(QRegularExpression("Pages:\\s+1\\n")));
    run("pdftoppm", {"-r", "20", "-png", "-singlefile", dir.filePath("print.pdf"), dir.filePath("page")});
    const QImage page(dir.filePath("page.png"));
    ASSERT_FALSE(page.isNull());
    // The canvas background is the only non-white area: its margins left and right are equal (the canvas
    // is fitted to the width of the page), and so are those above and below.
    QRect ink;
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x)
            if (page.pixel(x, y) != qRgb(255, 255, 255))
                ink |= QRect(x, y, 1, 1);
    ASSERT_FALSE(ink.isEmpty());
    EXPECT_NEAR(ink.left(), page.width() - 1 - ink.right(), 2);
    EXPECT_NEAR(ink.top(), page.height() - 1 - ink.bottom(), 2);
    EXPECT_NEAR(static_cast<double>(ink.width()) / ink.height(), 389.0 / 373.0, 0.02);
}

TEST(Export, FitCentredKeepsTheAspectRatio) {
    struct Case {
        QSizeF picture;
        QRectF area;
        QRectF fitted;
    };
    const Case cases[] = {
        {{400, 200}, {0, 0, 800, 800}, {0, 200, 800, 400}},
        {{200, 400}, {10, 10, 800, 400}, {310, 10, 200, 400}},
        {{100, 100}, {0, 0, 0, 100}, {}},
        {{0, 100}, {0, 0, 100, 100}, {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(canvas::fitCentred(c.picture, c.area), c.fitted);
}

TEST(Export, TheTypeFollowsTheNamesExtensionElseTheChosenFilter) {
    struct Case {
        const char* name;
        const char* filter;
        const char* path;
        PictureFormat format;
    };
    const Case cases[] = {
        {"/t/graph", "PDF (*.pdf)", "/t/graph.pdf", PictureFormat::Pdf},
        {"/t/graph.SVG", "PNG (*.png)", "/t/graph.SVG", PictureFormat::Svg},
        {"/t/graph.bmp", "SVG (*.svg)", "/t/graph.bmp", PictureFormat::Bmp},
        {"/t/graph.png", "", "/t/graph.png", PictureFormat::Png},
        {"/t/graph.v2", "PNG (*.png)", "/t/graph.v2.png", PictureFormat::Png},
        {"/t/svg", "odd filter", "/t/svg.svg", PictureFormat::Svg},
    };
    for (const Case& c : cases) {
        const canvas::ExportTarget t = canvas::exportTarget(c.name, c.filter);
        EXPECT_EQ(t.path, QString::fromLatin1(c.path));
        EXPECT_EQ(t.format, c.format) << c.name;
    }
}

TEST(Export, TheKeysExportAndPrintThroughTheDialogsInEveryProgram) {
    testsupport::MessageRecorder messages;
    testsupport::FakeExportDialogs dialogs;
    QTemporaryDir dir;
    std::vector<std::unique_ptr<QWidget>> windows;
    windows.push_back(std::make_unique<quorvex::MainWindow>());
    windows.push_back(std::make_unique<expolog::MainWindow>(expolog::kZelmora));
    windows.push_back(std::make_unique<expolog::MainWindow>(expolog::kTavrinth));
    int n = 0;
    for (auto& window : windows) {
        window->show();
        QApplication::setActiveWindow(window.get());
        const QString base = dir.filePath(QString::number(++n));
        const std::pair<const char*, const char*> files[] = {{"SVG (*.svg)", ".svg"},
                                                             {"PDF (*.pdf)", ".pdf"},
                                                             {"PNG (*.png)", ".png"},
                                                             {"BMP (*.bmp)", ".bmp"}};
        for (const auto& [filter, extension] : files) {
            dialogs.answer(base, QString::fromLatin1(filter));
            QTest::keyClick(window.get(), Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
            EXPECT_TRUE(QFile::exists(base + extension)) << extension;
        }
        EXPECT_EQ(dialogs.answers().askedTitle, QStringLiteral("导出图像"));
        EXPECT_EQ(dialogs.answers().askedFilters, canvas::exportFilters());
        EXPECT_EQ(QImage(base + ".png").size(), QImage(base + ".bmp").size() * 4);

        // Cancelling writes nothing.
        dialogs.answer(QString());
        QTest::keyClick(window.get(), Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
        dialogs.answers().printFile = base + "-print.pdf";
        QTest::keyClick(window.get(), Qt::Key_P, Qt::ControlModifier);
        EXPECT_TRUE(QFile::exists(base + "-print.pdf"));
        const QStringList names = [&] {
            QStringList texts;
            for (QAction* a : window->actions())
                texts << a->text() + " " + a->shortcut().toString();
            return texts;
        }();
        EXPECT_TRUE(names.contains(QStringLiteral("导出图像… Ctrl+Shift+S")));
        EXPECT_TRUE(names.contains(QStringLiteral("打印… Ctrl+P")));
        EXPECT_TRUE(names.contains(QStringLiteral("复制图像 Ctrl+C")));
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 15);
    EXPECT_TRUE(messages.messages().empty());
}

TEST(Export, CopyingOffersThePictureAndTheSvg) {
    quorvex::MainWindow f;
    f.show();
    QApplication::setActiveWindow(&f);
    powerCurve(f, "2");
    QGuiApplication::clipboard()->clear();
    f.controls().canvas->setFocus();
    QTest::keyClick(&f, Qt::Key_C, Qt::ControlModifier);
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(data, nullptr);
    EXPECT_TRUE(data->hasImage());
    ASSERT_TRUE(data->hasFormat("image/svg+xml"));
    const QByteArray svg = data->data("image/svg+xml");
    EXPECT_LT(difference(f.controls().canvas->surface().picture(), renderedSvg(svg, QSize(389, 373))),
              kSamePicture);
}

TEST(Export, TheTraceWaitsWhileTheExportAndPrintDialogsAreOpen) {
    testsupport::FakeExportDialogs dialogs;
    QTemporaryDir dir;
    testsupport::ExpLogWindow z(expolog::kZelmora);
    z.plot("2");
    std::size_t drawnWhileOpen = 0;
    dialogs.answers().whileOpen = [&] {
        const std::size_t before = z.curve().size();
        z.form.onTraceTick();
        drawnWhileOpen += z.curve().size() - before;
    };
    dialogs.answer(dir.filePath("graph.svg"));
    canvas::exportCanvas(&z.form, z.form.controls().canvas);
    dialogs.answers().printFile = dir.filePath("print.pdf");
    canvas::printCanvas(&z.form, z.form.controls().canvas);
    EXPECT_EQ(dialogs.answers().asked, 2);
    EXPECT_EQ(drawnWhileOpen, 0u);
    // Once the dialogs are closed the trace goes on.
    const std::size_t before = z.curve().size();
    z.form.onTraceTick();
    EXPECT_GT(z.curve().size(), before);
}

TEST(Export, TheOutcomeIsSpokenAndAPrinterThatCannotBeWrittenIsWarnedOf) {
    testsupport::FakeExportDialogs dialogs;
    QTemporaryDir dir;
    testsupport::ExpLogWindow z(expolog::kZelmora);
    canvas::MessageBar* bar = canvas::MessageBar::of(&z.form);
    dialogs.answer(dir.filePath("curve"), QStringLiteral("SVG (*.svg)"));
    canvas::exportCanvas(&z.form, z.form.controls().canvas);
    EXPECT_EQ(bar->lastMessage().toStdString(), "已保存到 curve.svg");
    dialogs.answers().printFile = dir.filePath("page.pdf");
    canvas::printCanvas(&z.form, z.form.controls().canvas);
    EXPECT_EQ(bar->lastMessage().toStdString(), "已保存到 page.pdf");
    const int spoken = bar->count();
    dialogs.answers().printFile = dir.filePath("no such folder/page.pdf");
    canvas::printCanvas(&z.form, z.form.controls().canvas);
    EXPECT_EQ(bar->count(), spoken);
    ASSERT_EQ(z.messages.texts().size(), 1u);
    EXPECT_EQ(z.messages.texts()[0].toStdString(), "图像未能打印。");
}

// An exported SVG or PDF says what it shows: the program and the formulas of its curves as its title, and
// the canvas in words as its description; a print job is named by the same title.
TEST(Export, SvgAndPdfAreTitledWithTheProgramAndTheFormulasOfTheirCurves) {
    testsupport::FakeExportDialogs dialogs;
    QTemporaryDir dir;
    quorvex::MainWindow bare;
    quorvex::MainWindow two;
    powerCurve(two, "2");
    powerCurve(two, "-1");
    testsupport::ExpLogWindow z(expolog::kZelmora);
    z.plot("2");
    z.runTrace();
    const struct {
        QWidget* window;
        const char* title;
        const char* curvesInWords; // the end of the description
    } cases[] = {
        {&bare, "Quorvex", "单位长度 1"},
        {&two, "Quorvex：y = x^2, y = x^(-1)", "图象 y 等于 x 的 2 次方、y 等于 x 的 负 1 次方"},
        {&z.form, "Zelmora：y = 2^x", "图象 y 等于 2 的 x 次方"},
    };
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.title);
        auto* canvas = c.window->findChild<canvas::CanvasWidget*>();
        const QString title = QString::fromUtf8(c.title);
        const QString base = dir.filePath(QString::number(++n));
        for (const char* extension : {".svg", ".pdf"}) {
            dialogs.answer(base + extension);
            canvas::exportCanvas(c.window, canvas);
        }
        dialogs.answers().printFile = base + "-print.pdf";
        canvas::printCanvas(c.window, canvas);
        const QByteArray svg = bytesOf(base + ".svg");
        EXPECT_EQ(svgElement(svg, "title").toStdString(), title.toStdString());
        const QString description = svgElement(svg, "desc");
        EXPECT_TRUE(description.startsWith(title.section(u'：', 0, 0) + "：x 从 负 10 到 10"))
            << description.toStdString();
        EXPECT_TRUE(description.endsWith(QString::fromUtf8(c.curvesInWords))) << description.toStdString();
        const QRegularExpression titled("Title:\\s+" + QRegularExpression::escape(title) + "\n");
        EXPECT_TRUE(run("pdfinfo", {base + ".pdf"}).contains(titled));
        EXPECT_TRUE(run("pdfinfo", {"-meta", base + ".pdf"}).contains(description.toHtmlEscaped()));
        EXPECT_TRUE(run("pdfinfo", {base + "-print.pdf"}).contains(titled));
    }
}

// 白色背景 puts the canvas on white in every file type and on paper, never on the screen, and is
// remembered for the next export or print.
TEST(Export, WhiteBackgroundIsInTheFileAndOnPaperOnlyAndRemembered) {
    testsupport::FakeExportDialogs dialogs;
    QTemporaryDir dir;
    quorvex::MainWindow f;
    powerCurve(f, "2");
    canvas::CanvasWidget* canvas = f.controls().canvas;
    const QRgb own = canvas->surface().picture().pixel(3, 3);
    ASSERT_EQ(own, qRgb(255, 255, 192));
    const auto exported = [&](const QString& path) {
        dialogs.answer(path);
        canvas::exportCanvas(&f, canvas);
        return path;
    };
    const auto pdfPage = [&](const QString& pdf) {
        run("pdftoppm", {"-r", "96", "-png", "-singlefile", pdf, dir.filePath("page")});
        return QImage(dir.filePath("page.png"));
    };
    // The canvas as each way out gives it, at its logical size.
    const std::pair<const char*, std::function<QImage(const QString&)>> ways[] = {
        {"SVG",
         [&](const QString& b) { return renderedSvg(bytesOf(exported(b + ".svg")), QSize(389, 373)); }},
        {"PDF", [&](const QString& b) { return pdfPage(exported(b + ".pdf")); }},
        {"PNG", [&](const QString& b) { return QImage(exported(b + ".png")).scaled(389, 373); }},
        {"BMP", [&](const QString& b) { return QImage(exported(b + ".bmp")); }},
        {"print",
         [&](const QString& b) {
             dialogs.answers().printFile = b + "-print.pdf";
             canvas::printCanvas(&f, canvas);
             // Where the canvas lies on the page: the axes cross it from edge to edge.
             const QImage page = pdfPage(b + "-print.pdf");
             QRect ink;
             for (int y = 0; y < page.height(); ++y)
                 for (int x = 0; x < page.width(); ++x)
                     if (page.pixel(x, y) != qRgb(255, 255, 255))
                         ink |= QRect(x, y, 1, 1);
             return page.copy(ink).scaled(389, 373);
         }},
    };
    int n = 0;
    for (const bool white : {true, false})
        for (const auto& [name, out] : ways) {
            SCOPED_TRACE(std::string(name) + (white ? " on white" : " on the canvas colour"));
            dialogs.answers().whiteBackground = white;
            const QImage picture = out(dir.filePath(QString::number(++n)));
            ASSERT_FALSE(picture.isNull());
            // Near the upper right corner, away from the axes and the curve.
            EXPECT_EQ(QColor(picture.pixel(370, 18)), QColor(white ? qRgb(255, 255, 255) : own));
            EXPECT_EQ(canvas->surface().picture().pixel(3, 3), own);
            EXPECT_EQ(canvas::storedWhiteBackground("Quorvex"), white);
        }
    // The dialogs offer what was chosen last.
    dialogs.answers().whiteBackground.reset();
    for (const bool white : {true, false}) {
        canvas::storeWhiteBackground("Quorvex", white);
        dialogs.answer(QString());
        canvas::exportCanvas(&f, canvas);
        EXPECT_EQ(dialogs.answers().whiteOffered, white);
        dialogs.answers().printFile.clear();
        canvas::printCanvas(&f, canvas);
        EXPECT_EQ(dialogs.answers().whiteOffered, white);
    }
    // The BMP on white differs from the screen's picture only where the canvas colour was.
    dialogs.answers().whiteBackground = true;
    const QImage bmp(exported(dir.filePath("white.bmp")));
    QImage screen = canvas->surface().picture().convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < screen.height(); ++y)
        for (int x = 0; x < screen.width(); ++x)
            if (screen.pixel(x, y) == own)
                screen.setPixel(x, y, qRgb(255, 255, 255));
    EXPECT_LT(difference(screen, bmp), kSamePicture);
}
