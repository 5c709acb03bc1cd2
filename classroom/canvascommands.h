#pragma once

// The commands every window offers for its canvas beyond its own buttons: 导出图像… (Ctrl+Shift+S) writes
// the canvas as SVG, PDF, PNG or BMP, 打印… (Ctrl+P) prints it, 复制图像 (Ctrl+C) copies it, 保存声音…
// writes the sound of the chosen curve as a WAV file. They are actions of the window, so their keys work
// anywhere in it and a menu can list them. The canvas also learns the keys that explore its curves.

#include "widgets/canvaswidget.h"

#include <QList>

#include <functional>

class QAction;
class QWidget;

namespace canvas {

/// Creates the commands for the canvas of `window`, adds them to the window and returns them in menu order
/// (export, print, copy, sound), and gives the canvas its exploration keys.
QList<QAction*> addCanvasCommands(QWidget* window, CanvasWidget* canvas);

/// Asks for a file name and type (and 白色背景, remembered), and writes the canvas there, titled with the
/// program and its curves; a failure is reported in a message box.
void exportCanvas(QWidget* window, CanvasWidget* canvas);
/// Asks for a file name and writes the sound of the curve being explored (or the most recent one) there;
/// a failure is reported in a message box.
void saveCurveSound(QWidget* window, CanvasWidget* canvas);
/// Asks for a printer (and 白色背景, remembered) and prints the canvas on one page.
void printCanvas(QWidget* window, CanvasWidget* canvas);

/// Runs a command that opens a dialog, from a key, a click or an assistive tool's press on its menu item
/// (then once the tool's request is answered); the focus returns to where it was when the dialog closes.
void runDialogCommand(QAction* action, QWidget* window, const std::function<void()>& command);

/// The message of a failed export: the file and the reason.
QString exportFailureText(const QString& path, const QString& reason);
/// What a screen reader hears once a file is saved: "已保存到 graph.svg".
QString savedWords(const QString& path);

} // namespace canvas
