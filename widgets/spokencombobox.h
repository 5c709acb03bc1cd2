#pragma once

// A drop-down list as a screen reader on this desktop needs it. Qt 6.4 on Linux reports a combo box's
// chosen entry as its name (its own accessible name is dropped) and offers a screen reader no way to
// read the entry as the box's value: the popup list has no selection on the bus, so Orca says only
// "组合框". A box made spoken keeps everything else of Qt's (its popup list as its child, its actions,
// its events) and is read as its accessible name, with the chosen entry as its text.

class QComboBox;

namespace canvas {

/// Lets a screen reader say what the box is for (its accessible name, or the chosen entry when it has
/// none) and which entry is chosen. Call once the box is made; an editable box is left as Qt makes it.
void makeComboBoxSpoken(QComboBox* box);

} // namespace canvas
