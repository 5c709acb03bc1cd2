#pragma once

// A text box as screen readers read it. Qt 6.4 tells them that each character of a line edit is a run of
// text attributes of its own with no length, and Orca 43 then reads one character less than the box holds
// ("-1" for "-10"). This interface presents the same text, selection and caret, with the whole text as one
// run without attributes; everything else is the widget's.

#include <QAccessibleWidget>

class QLineEdit;

namespace canvas {

class AccessibleLineEdit : public QAccessibleWidget,
                           public QAccessibleTextInterface,
                           public QAccessibleEditableTextInterface {
public:
    explicit AccessibleLineEdit(QLineEdit* box);

    void* interface_cast(QAccessible::InterfaceType t) override;
    QString text(QAccessible::Text t) const override;
    void setText(QAccessible::Text t, const QString& text) override;
    QAccessible::State state() const override;

    // QAccessibleTextInterface
    void selection(int selectionIndex, int* startOffset, int* endOffset) const override;
    int selectionCount() const override;
    void addSelection(int startOffset, int endOffset) override;
    void removeSelection(int selectionIndex) override;
    void setSelection(int selectionIndex, int startOffset, int endOffset) override;
    int cursorPosition() const override;
    void setCursorPosition(int position) override;
    QString text(int startOffset, int endOffset) const override;
    int characterCount() const override;
    QRect characterRect(int offset) const override;
    int offsetAtPoint(const QPoint& point) const override;
    void scrollToSubstring(int startIndex, int endIndex) override;
    QString attributes(int offset, int* startOffset, int* endOffset) const override;

    // QAccessibleEditableTextInterface
    void deleteText(int startOffset, int endOffset) override;
    void insertText(int offset, const QString& text) override;
    void replaceText(int startOffset, int endOffset, const QString& text) override;

private:
    QLineEdit* box() const;
    /// What the box shows: its text, or the echo of a hidden one.
    QString shown() const;
};

} // namespace canvas
