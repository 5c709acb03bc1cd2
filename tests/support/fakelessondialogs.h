#pragma once

// Answers the lesson file dialogs for the lifetime of the object, as a user would.

#include "classroom/lessondialogs.h"

#include <memory>
#include <utility>

namespace testsupport {

class FakeLessonDialogs {
public:
    struct Answers : canvas::LessonDialogs {
        QString saveAs; ///< the name typed in 保存课件; empty cancels
        QString open;   ///< the file chosen in 打开课件; empty cancels
        QString saveName(QWidget*, const QString&) override { return saveAs; }
        QString openName(QWidget*, const QString&) override { return open; }
    };

    FakeLessonDialogs()
        : answers_(std::make_shared<Answers>()), previous_(canvas::setLessonDialogs(answers_)) {}
    ~FakeLessonDialogs() { canvas::setLessonDialogs(std::move(previous_)); }
    FakeLessonDialogs(const FakeLessonDialogs&) = delete;
    FakeLessonDialogs& operator=(const FakeLessonDialogs&) = delete;

    Answers& answers() { return *answers_; }

private:
    std::shared_ptr<Answers> answers_;
    std::shared_ptr<canvas::LessonDialogs> previous_;
};

} // namespace testsupport
