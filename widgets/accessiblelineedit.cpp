#include "widgets/accessiblelineedit.h"

#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionFrame>

#include <algorithm>

namespace canvas {

AccessibleLineEdit::AccessibleLineEdit(QLineEdit* box) : QAccessibleWidget(box, QAccessible::EditableText) {
    addControllingSignal(QStringLiteral("textChanged(const QString&)"));
    addControllingSignal(QStringLiteral("returnPressed()"));
}

QLineEdit* AccessibleLineEdit::box() const {
    return static_cast<QLineEdit*>(widget());
}

QString AccessibleLineEdit::shown() const {
    return box()->echoMode() == QLineEdit::Normal ? box()->text() : box()->displayText();
}

void* AccessibleLineEdit::interface_cast(QAccessible::InterfaceType t) {
    if (t == QAccessible::TextInterface)
        return static_cast<QAccessibleTextInterface*>(this);
    if (t == QAccessible::EditableTextInterface)
        return static_cast<QAccessibleEditableTextInterface*>(this);
    return QAccessibleWidget::interface_cast(t);
}

QString AccessibleLineEdit::text(QAccessible::Text t) const {
    if (t == QAccessible::Value)
        return shown();
    // A box without a name of its own is named by the text of its buddy label, as Qt does.
    return QAccessibleWidget::text(t);
}

void AccessibleLineEdit::setText(QAccessible::Text t, const QString& text) {
    if (t != QAccessible::Value) {
        QAccessibleWidget::setText(t, text);
        return;
    }
    if (box()->isReadOnly())
        return;
    QString fixed = text;
    int position = 0;
    if (box()->validator() && box()->validator()->validate(fixed, position) == QValidator::Invalid)
        return;
    box()->setText(fixed);
}

QAccessible::State AccessibleLineEdit::state() const {
    QAccessible::State state = QAccessibleWidget::state();
    state.editable = !box()->isReadOnly();
    state.readOnly = box()->isReadOnly();
    state.selectableText = true;
    state.passwordEdit = box()->echoMode() != QLineEdit::Normal;
    return state;
}

void AccessibleLineEdit::selection(int selectionIndex, int* startOffset, int* endOffset) const {
    *startOffset = *endOffset = 0;
    if (selectionIndex != 0 || !box()->hasSelectedText())
        return;
    *startOffset = box()->selectionStart();
    *endOffset = box()->selectionEnd();
}

int AccessibleLineEdit::selectionCount() const {
    return box()->hasSelectedText() ? 1 : 0;
}

void AccessibleLineEdit::addSelection(int startOffset, int endOffset) {
    setSelection(0, startOffset, endOffset);
}

void AccessibleLineEdit::removeSelection(int selectionIndex) {
    if (selectionIndex == 0)
        box()->deselect();
}

void AccessibleLineEdit::setSelection(int selectionIndex, int startOffset, int endOffset) {
    if (selectionIndex != 0)
        return;
    const int count = characterCount();
    startOffset = std::clamp(startOffset, 0, count);
    endOffset = std::clamp(endOffset, 0, count);
    box()->setSelection(startOffset, endOffset - startOffset);
}

int AccessibleLineEdit::cursorPosition() const {
    return box()->cursorPosition();
}

void AccessibleLineEdit::setCursorPosition(int position) {
    box()->setCursorPosition(position);
}

QString AccessibleLineEdit::text(int startOffset, int endOffset) const {
    const QString all = shown();
    if (endOffset < 0 || endOffset > all.size())
        endOffset = static_cast<int>(all.size());
    startOffset = std::clamp(startOffset, 0, endOffset);
    return all.mid(startOffset, endOffset - startOffset);
}

int AccessibleLineEdit::characterCount() const {
    return static_cast<int>(shown().size());
}

QRect AccessibleLineEdit::characterRect(int offset) const {
    // The box's text area, as its style lays it out, and the characters' advances within it.
    QStyleOptionFrame option;
    option.initFrom(box());
    option.rect = box()->rect();
    option.lineWidth = box()->hasFrame() ? 1 : 0;
    const QRect area = box()->style()->subElementRect(QStyle::SE_LineEditContents, &option, box());
    const QString all = shown();
    offset = std::clamp(offset, 0, static_cast<int>(all.size()));
    const QFontMetrics metrics = box()->fontMetrics();
    const int left = metrics.horizontalAdvance(all.left(offset));
    const int width = offset < all.size() ? metrics.horizontalAdvance(all.at(offset)) : 1;
    const int top = area.top() + (area.height() - metrics.height()) / 2;
    const QRect local(area.left() + left, top, width, metrics.height());
    return QRect(box()->mapToGlobal(local.topLeft()), local.size());
}

int AccessibleLineEdit::offsetAtPoint(const QPoint& point) const {
    return box()->cursorPositionAt(box()->mapFromGlobal(point));
}

void AccessibleLineEdit::scrollToSubstring(int startIndex, int /*endIndex*/) {
    box()->setCursorPosition(startIndex);
}

QString AccessibleLineEdit::attributes(int offset, int* startOffset, int* endOffset) const {
    // One run over the whole text: a reader that splits the text by runs gets it whole.
    (void)offset;
    *startOffset = 0;
    *endOffset = characterCount();
    return QString();
}

void AccessibleLineEdit::deleteText(int startOffset, int endOffset) {
    replaceText(startOffset, endOffset, QString());
}

void AccessibleLineEdit::insertText(int offset, const QString& text) {
    replaceText(offset, offset, text);
}

void AccessibleLineEdit::replaceText(int startOffset, int endOffset, const QString& text) {
    if (box()->isReadOnly())
        return;
    QString all = box()->text();
    startOffset = std::clamp(startOffset, 0, static_cast<int>(all.size()));
    endOffset = std::clamp(endOffset, startOffset, static_cast<int>(all.size()));
    all.replace(startOffset, endOffset - startOffset, text);
    box()->setText(all);
    box()->setCursorPosition(startOffset + static_cast<int>(text.size()));
}

} // namespace canvas
