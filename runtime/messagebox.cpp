#include "runtime/messagebox.h"

#include <utility>

namespace canvas {

namespace {
std::shared_ptr<MessageBoxService>& installed() {
    static std::shared_ptr<MessageBoxService> service;
    return service;
}
int depth = 0;
} // namespace

void MsgBox(const QString& text, const QString& title, MessageIcon icon) {
    // Keep the service alive even if the box's own event loop installs another one.
    const std::shared_ptr<MessageBoxService> service = installed();
    if (!service)
        return;
    const ModalScope modal;
    service->show(text, title, icon);
}

ModalScope::ModalScope() {
    ++depth;
}

ModalScope::~ModalScope() {
    --depth;
}

int modalDepth() {
    return depth;
}

std::shared_ptr<MessageBoxService> setMessageBoxService(std::shared_ptr<MessageBoxService> service) {
    return std::exchange(installed(), std::move(service));
}

} // namespace canvas
