#pragma once

#include "runtime/messagebox.h"

class QMessageBox;

namespace canvas {

/// Shows messages in a real modal QMessageBox over the active window.
class QtMessageBoxService : public MessageBoxService {
public:
    void show(const QString& text, const QString& title, MessageIcon icon) override;
};

/// Gives a message box the program's display scale: its text and its icon grow with the window.
void fitToDisplayScale(QMessageBox& box);

} // namespace canvas
