#pragma once

// The exit button: a normal and a highlighted picture of the same size at the same place. Moving onto the
// normal one highlights it, moving over the window's free area brings the normal one back, and a click on
// the highlighted one ends the program. For the keyboard and for screen readers the normal picture is a
// push button: Space, Enter or the press action end the program just as that click does.

#include "widgets/imagecontrol.h"

#include <functional>
#include <vector>

namespace canvas {

class ExitButton {
public:
    /// `alsoHidden` are hidden by every pointer move over the window's free area.
    ExitButton(ImageControl* normal, ImageControl* highlighted,
               std::vector<std::function<void()>> alsoHidden);

    /// The pointer moved over the window's free area: the normal picture comes back.
    void pointerOverWindow();
    /// The pointer moved over the normal picture: the highlighted one shows.
    void pointerOverButton();
    /// A click on the highlighted picture.
    void clickOnHighlighted();

private:
    ImageControl* normal_;
    ImageControl* highlighted_;
    std::vector<std::function<void()>> alsoHidden_;
};

/// Ends the program at once: every window closes and no further handler runs.
void endProgram();

/// True once the program has been ended; timer handlers check it so that none runs afterwards.
bool programEnded();

/// Replaces what ending the program does (tests record it instead of leaving the test run).
void setEndProgramAction(std::function<void()> action);

} // namespace canvas
