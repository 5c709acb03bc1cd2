#pragma once

// Replaces the modal message box with a recorder for the lifetime of the object.

#include "runtime/messagebox.h"

#include <QString>

#include <functional>
#include <memory>
#include <vector>

namespace testsupport {

struct RecordedMessage {
    QString text;
    QString title;
    canvas::MessageIcon icon;
};

class MessageRecorder {
public:
    MessageRecorder();
    ~MessageRecorder();
    MessageRecorder(const MessageRecorder&) = delete;
    MessageRecorder& operator=(const MessageRecorder&) = delete;

    const std::vector<RecordedMessage>& messages() const;
    /// Texts of the messages shown so far, in order.
    std::vector<QString> texts() const;
    void clear();
    /// Runs while a message is "open" (to check what happens around a modal box).
    void onShow(std::function<void(const RecordedMessage&)> callback);

private:
    class Service;
    std::shared_ptr<Service> service_;
    std::shared_ptr<canvas::MessageBoxService> previous_;
};

} // namespace testsupport
