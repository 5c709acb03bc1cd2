#include "widgets/messagebar.h"

namespace canvas {

namespace {
// Messages take turns: a screen reader reads a message's words a moment after it appears, and by then the
// next message may be showing; it is another object, so the words read are still those of this one.
constexpr int kMessages = 4;
const char* const kBarName = "messageBar";
} // namespace

MessageBar::MessageBar(QWidget* window) : QWidget(window) {
    setObjectName(QLatin1String(kBarName));
    setAccessibleName(QStringLiteral("消息"));
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setGeometry(0, 0, 0, 0);
    for (int i = 0; i < kMessages; ++i)
        new Message(this);
    show();
}

MessageBar* MessageBar::of(QWidget* widget) {
    QWidget* window = widget->window();
    auto* bar = window->findChild<MessageBar*>(QLatin1String(kBarName), Qt::FindDirectChildrenOnly);
    return bar ? bar : new MessageBar(window);
}

void MessageBar::say(const QString& words) {
    const QList<Message*> messages = findChildren<Message*>(Qt::FindDirectChildrenOnly);
    Message* message = messages.at(next_ % messages.size());
    next_ = (next_ + 1) % messages.size();
    // Hidden first, so that the same words again appear again: appearing is what is spoken.
    message->hide();
    message->setAccessibleName(words);
    message->show();
    last_ = words;
    ++count_;
}

Message::Message(MessageBar* bar) : QWidget(bar) {
    setFocusPolicy(Qt::NoFocus);
    setGeometry(0, 0, 0, 0);
    hide();
}

void speak(QWidget* widget, const QString& words) {
    if (widget && !words.isEmpty())
        MessageBar::of(widget)->say(words);
}

} // namespace canvas
