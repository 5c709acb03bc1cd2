#pragma once

// The modal message box the windows use to report wrong input. It goes through a replaceable service so
// that tests can record what would have been shown instead of blocking on a real dialog.

#include <QString>

#include <memory>

namespace canvas {

/// The icon of a message: the exclamation mark of warnings or the "i" of hints.
enum class MessageIcon { Exclamation, Information };

/// Shows one modal message with a single OK button and returns when the user has closed it.
class MessageBoxService {
public:
    virtual ~MessageBoxService() = default;
    virtual void show(const QString& text, const QString& title, MessageIcon icon) = 0;
};

/// Shows a message through the installed service. While it is open, modalDepth() is above zero, so the
/// windows' timer handlers know to wait: handlers run one at a time, also around a message box.
void MsgBox(const QString& text, const QString& title, MessageIcon icon);

/// Number of message boxes (and other modal dialogs of the windows) open right now.
int modalDepth();

/// Counts as an open modal dialog for its lifetime: the timer handlers wait while a system dialog that a
/// handler opened (choosing a file, a printer) runs its own event loop.
class ModalScope {
public:
    ModalScope();
    ~ModalScope();
    ModalScope(const ModalScope&) = delete;
    ModalScope& operator=(const ModalScope&) = delete;
};

/// Installs the service that shows messages; returns the previous one. Without one, messages are dropped.
std::shared_ptr<MessageBoxService> setMessageBoxService(std::shared_ptr<MessageBoxService> service);

/// The title and text of the warnings shared by all windows.
inline const QString kWarningTitle = QStringLiteral("警告");
inline const QString kHintTitle = QStringLiteral("提示");

} // namespace canvas
