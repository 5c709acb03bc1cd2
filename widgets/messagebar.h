#pragma once

// Words for the screen reader that do not wait for the focus: the result of a button pressed elsewhere,
// the point reached on the canvas, the end of a trace. Each window has one message bar, an empty status bar
// that takes no room, and each message is a notification shown inside it. Screen readers speak a
// notification as it appears, wherever the focus is, and Orca reads one inside a status bar without naming
// its role first; its "read the status bar" command reads the last message again.

#include <QString>
#include <QWidget>

namespace canvas {

/// The message bar of a window: zero size, never focused, holding the last few messages.
class MessageBar : public QWidget {
    Q_OBJECT
public:
    explicit MessageBar(QWidget* window);

    /// Shows the words as a new message; the same words again are shown (and spoken) again.
    void say(const QString& words);
    /// The words of the most recent message, empty before the first.
    QString lastMessage() const { return last_; }
    /// How many messages were shown, for tests that need to see a repeat.
    int count() const { return count_; }

    /// The window's bar, made on first use.
    static MessageBar* of(QWidget* widget);

private:
    QString last_;
    int count_ = 0;
    int next_ = 0;
};

/// One message of a bar: a notification whose name is its words.
class Message : public QWidget {
    Q_OBJECT
public:
    explicit Message(MessageBar* bar);
};

/// Says the words to screen readers in the window of `widget`, whatever holds the focus there.
void speak(QWidget* widget, const QString& words);

} // namespace canvas
