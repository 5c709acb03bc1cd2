#pragma once

// How the shared controls present themselves to screen readers: a picture as words, a button or nothing
// (ImageControl), the canvas as a named canvas whose description says what it shows (CanvasWidget).

#include <QString>

class QWidget;

namespace canvas {

/// Registers the accessibility interfaces of the shared controls with Qt (once; later calls do nothing).
void installAccessibility();

/// Tells screen readers about a change that a control stands for: the text becomes the control's
/// accessible description, whose change a screen reader reads out (Qt 6.4 has no announcement event).
/// Every call is told, also one with the text of the last.
void announce(QWidget* speaker, const QString& text);

} // namespace canvas
