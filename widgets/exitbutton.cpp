#include "widgets/exitbutton.h"

#include <QApplication>

namespace canvas {

namespace {
bool ended = false;
std::function<void()>& endAction() {
    static std::function<void()> action = [] {
        QApplication::closeAllWindows();
        QCoreApplication::exit(0);
    };
    return action;
}
} // namespace

ExitButton::ExitButton(ImageControl* normal, ImageControl* highlighted,
                       std::vector<std::function<void()>> alsoHidden)
    : normal_(normal), highlighted_(highlighted), alsoHidden_(std::move(alsoHidden)) {
    normal_->makeButton();
    QObject::connect(normal_, &ImageControl::activated, normal_->window(), [this] { clickOnHighlighted(); });
    QObject::connect(normal_, &ImageControl::mouseMoved, normal_->window(), [this] { pointerOverButton(); });
    QObject::connect(highlighted_, &ImageControl::clicked, highlighted_->window(),
                     [this] { clickOnHighlighted(); });
}

void ExitButton::pointerOverWindow() {
    normal_->setVisible(true);
    highlighted_->setVisible(false);
    for (const auto& hide : alsoHidden_)
        hide();
}

void ExitButton::pointerOverButton() {
    normal_->setVisible(false);
    highlighted_->setVisible(true);
}

void ExitButton::clickOnHighlighted() {
    endProgram();
}

void endProgram() {
    ended = true;
    endAction()();
}

bool programEnded() {
    return ended;
}

void setEndProgramAction(std::function<void()> action) {
    endAction() = std::move(action);
    ended = false;
}

} // namespace canvas
