#include "runtime/usage.h"

#include <QStringList>

namespace canvas {

namespace {

#ifndef EXPLORERS_VERSION
#define EXPLORERS_VERSION "0"
#endif

// What each program is for, as its manual page says it.
struct ProgramAbout {
    const char* name;
    const char* summary;
    const char* description;
};

const ProgramAbout kPrograms[] = {
    {"Quorvex", "explore power functions y = x^m and y = x^(m/n)",
     "Quorvex draws power functions for secondary-school lessons: y = x^m with a whole exponent m, or "
     "y = x^(m/n) with a fractional one. Each press of \\(lq作图\\(rq adds a curve in a new colour, so "
     "several powers can be compared. The plane can be zoomed about the origin, dragged with the pointer, "
     "given a grid, and the canvas saved as a BMP file through \\(lq保存\\(rq. The interface is in Chinese."},
    {"Zelmora", "explore exponential functions y = a^x",
     "Zelmora draws exponential functions y = a^x for secondary-school lessons. A curve grows segment by "
     "segment; when it is complete the properties panel shows the value table of the case a > 1 or "
     "0 < a < 1. Enlarging the window reveals the inverse-function panel, which traces y = log_a x and "
     "draws the symmetry axis y = x. The interface is in Chinese."},
    {"Tavrinth", "explore logarithmic functions y = log_a x",
     "Tavrinth draws logarithmic functions y = log_a x for secondary-school lessons. A curve grows segment "
     "by segment; when it is complete the properties panel shows the value table of the case a > 1 or "
     "0 < a < 1. Enlarging the window reveals the inverse-function panel, which traces y = a^x and draws "
     "the symmetry axis y = x. The interface is in Chinese."},
};

const ProgramAbout* aboutOf(const QString& program) {
    for (const ProgramAbout& p : kPrograms)
        if (program == QLatin1String(p.name))
            return &p;
    return nullptr;
}

// Roff takes a leading dot or apostrophe as a request, and a backslash as an escape; hyphens in options
// must stay hyphens (not typographic dashes) so they can be copied.
QString roffText(const QString& text) {
    QString out = text;
    out.replace(QStringLiteral("-"), QStringLiteral("\\-"));
    if (out.startsWith(u'.') || out.startsWith(u'\''))
        out.prepend(QStringLiteral("\\&"));
    return out;
}

} // namespace

QString programVersion() {
    return QStringLiteral(EXPLORERS_VERSION);
}

const std::vector<UsageItem>& commandLineOptions() {
    static const std::vector<UsageItem> options = {
        {"--scale=PERCENT",
         "Start at this display scale: 100, 125, 150, 175, 200, 250 or 300 (per cent). It overrides the "
         "remembered scale for this run only."},
        {"--fullscreen", "Start full screen."},
        {"-h, --help", "Print the options and keys, then end."},
        {"--version", "Print the program's name and version, then end."},
    };
    return options;
}

const std::vector<UsageItem>& programKeys() {
    static const std::vector<UsageItem> keys = {
        {"Ctrl+= or Ctrl++", "放大显示: the next larger display scale that fits the screen."},
        {"Ctrl+-", "缩小显示: the next smaller display scale."},
        {"Ctrl+0", "原始大小: back to 100 %."},
        {"F11", "全屏: full screen, the content as large as fits; F11 or Esc returns."},
        {"Ctrl+Shift+S", "导出图像: export the canvas as SVG, PDF, PNG (4 times larger) or BMP."},
        {"Ctrl+P", "打印: print the canvas, fitted to the page."},
        {"Ctrl+C", "复制图像: copy the canvas picture (and its SVG) to the clipboard; a text box with "
                   "selected text copies its text."},
        {"Ctrl+Z", "撤销: take back the most recent curve, or the last 清除图象."},
        {"Ctrl+Shift+Z", "重做: bring back what 撤销 took back."},
        {"Ctrl+S", "保存课件: save the lesson (its curves, colours, view and grid) as a .kejian file."},
        {"Ctrl+O", "打开课件: open a saved lesson; a lesson file named on the command line opens at start."},
        {"Up / Down",
         "In the m, n or base box: the value one step up or down (a: 0.1, Shift 1, Ctrl 0.01), the newest "
         "curve following at once; the wheel over the box does the same."},
        {"A", "With the canvas focused, 参数动画: the parameter swept (a from 0.2 to 5, m from -3 to 3), the "
              "curve "
              "following; any key, click or touch stops it."},
        {"Arrow keys", "With the canvas focused, move the plane by one tick spacing (with Shift, five)."},
        {"T", "With the canvas focused, explore the most recent curve: Left/Right one pixel column (Shift: "
              "one tick spacing), Home/End the edges, Up/Down another curve, Ctrl+Left/Right the previous "
              "or next landmark; T or Esc leaves."},
        {"H", "With the canvas focused, hear the chosen curve in 3 seconds (Shift+H: 6); H or Space stops."},
    };
    return keys;
}

QString helpText(const QString& program) {
    QString out = QStringLiteral("Usage: %1 [options]\n\nOptions:\n").arg(program);
    for (const UsageItem& o : commandLineOptions())
        out += QStringLiteral("  %1\n      %2\n").arg(QString::fromUtf8(o.name), QString::fromUtf8(o.text));
    out += QStringLiteral("\nKeys:\n");
    for (const UsageItem& k : programKeys())
        out += QStringLiteral("  %1\n      %2\n").arg(QString::fromUtf8(k.name), QString::fromUtf8(k.text));
    out += QStringLiteral("\nA right-click on the window's free area lists these commands.\n");
    return out;
}

QString manualPage(const QString& program) {
    const ProgramAbout* about = aboutOf(program);
    if (!about)
        return {};
    const QString name = QString::fromUtf8(about->name);
    QStringList lines;
    lines << QStringLiteral(".TH %1 1 \"\" \"%1 %2\" \"User Commands\"").arg(name.toUpper(), programVersion())
          << QStringLiteral(".SH NAME")
          << QStringLiteral("%1 \\- %2").arg(name, roffText(QString::fromUtf8(about->summary)))
          << QStringLiteral(".SH SYNOPSIS") << QStringLiteral(".B %1").arg(name)
          << QStringLiteral(".RI [ options ]") << QStringLiteral(".SH DESCRIPTION")
          << roffText(QString::fromUtf8(about->description)) << QStringLiteral(".SH OPTIONS");
    for (const UsageItem& o : commandLineOptions())
        lines << QStringLiteral(".TP") << QStringLiteral(".B %1").arg(roffText(QString::fromUtf8(o.name)))
              << roffText(QString::fromUtf8(o.text));
    lines << QStringLiteral(".SH KEYS");
    for (const UsageItem& k : programKeys())
        lines << QStringLiteral(".TP") << QStringLiteral(".B %1").arg(roffText(QString::fromUtf8(k.name)))
              << roffText(QString::fromUtf8(k.text));
    lines << QStringLiteral(".PP")
          << QStringLiteral("A right\\-click on the window's free area lists these commands.")
          << QStringLiteral(".SH FILES") << QStringLiteral(".TP")
          << QStringLiteral(".I ~/.config/function\\-explorers/%1.conf").arg(name)
          << QStringLiteral("The last display scale chosen with the keys or the menu (key display/scale), "
                            "used at the next start.")
          << QStringLiteral(".SH LICENCE")
          << QStringLiteral("GPL\\-3.0\\-or\\-later: the GNU General Public License, version 3 or any later "
                            "version.")
          << QStringLiteral(".SH SEE ALSO");
    QStringList others;
    for (const ProgramAbout& p : kPrograms)
        if (program != QLatin1String(p.name))
            others << QStringLiteral(".BR %1 (1)").arg(QString::fromUtf8(p.name));
    for (int i = 0; i < others.size(); ++i)
        lines << others[i] + (i + 1 < others.size() ? QStringLiteral(",") : QString());
    return lines.join(u'\n') + u'\n';
}

} // namespace canvas
