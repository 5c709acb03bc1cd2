#pragma once

// Numbers without a keyboard: a finger that taps a text box of a window opens a number pad beside it, with
// the digits, ".", "-", 删除, 确定 and 取消, at the window's display scale. 确定 writes the composed text
// into the box as typing it would (the box's change handlers run); 取消, or a tap beside the pad, leaves the
// box as it was. A mouse click or the keyboard focus never opens it: those come with a keyboard.

#include <QLineEdit>
#include <QObject>
#include <QPointer>

class QFrame;
class QPushButton;
class QWidget;

namespace canvas {

class NumberPad : public QObject {
    Q_OBJECT
public:
    /// Gives every text box of a built window the pad.
    explicit NumberPad(QWidget* window);

    /// The pad of a window, once made.
    static NumberPad* of(QWidget* window);

    /// Opens the pad beside `box`, starting from the box's text.
    void open(QLineEdit* box);
    /// The pad while it is open, and its parts: the composed text and the key with a caption.
    QFrame* pad() const { return pad_; }
    QLineEdit* display() const { return display_; }
    QPushButton* key(const QString& caption) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void build(qreal factor);
    void place(const QLineEdit* box);
    void press(const QString& caption);

    QWidget* window_;
    QPointer<QFrame> pad_;
    QPointer<QLineEdit> display_;
    QPointer<QLineEdit> box_;
};

} // namespace canvas
