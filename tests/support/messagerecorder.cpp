#include "messagerecorder.h"

namespace testsupport {

class MessageRecorder::Service : public canvas::MessageBoxService {
public:
    void show(const QString& text, const QString& title, canvas::MessageIcon icon) override {
        messages.push_back({text, title, icon});
        if (callback)
            callback(messages.back());
    }
    std::vector<RecordedMessage> messages;
    std::function<void(const RecordedMessage&)> callback;
};

MessageRecorder::MessageRecorder() : service_(std::make_shared<Service>()) {
    previous_ = canvas::setMessageBoxService(service_);
}

MessageRecorder::~MessageRecorder() {
    canvas::setMessageBoxService(previous_);
}

const std::vector<RecordedMessage>& MessageRecorder::messages() const {
    return service_->messages;
}

std::vector<QString> MessageRecorder::texts() const {
    std::vector<QString> out;
    for (const auto& m : service_->messages)
        out.push_back(m.text);
    return out;
}

void MessageRecorder::clear() {
    service_->messages.clear();
}

void MessageRecorder::onShow(std::function<void(const RecordedMessage&)> callback) {
    service_->callback = std::move(callback);
}

} // namespace testsupport
