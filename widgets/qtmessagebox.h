#pragma once

#include "runtime/messagebox.h"

namespace canvas {

/// Shows messages in a real modal QMessageBox over the active window.
class QtMessageBoxService : public MessageBoxService {
public:
    void show(const QString& text, const QString& title, MessageIcon icon) override;
};

} // namespace canvas
