#pragma once

// The file dialogs of 保存课件… and 打开课件…, behind a replaceable service so that tests can answer them
// instead of blocking on a real modal dialog.

#include <QString>

#include <memory>

class QWidget;

namespace canvas {

class LessonDialogs {
public:
    virtual ~LessonDialogs() = default;
    /// The name to save a lesson under, or empty when the user cancels.
    virtual QString saveName(QWidget* parent, const QString& title) = 0;
    /// The lesson file to open, or empty when the user cancels.
    virtual QString openName(QWidget* parent, const QString& title) = 0;
};

/// The service in use: the system's dialogs unless another was installed.
LessonDialogs& lessonDialogs();
/// Installs the service; returns the previous one. A null service brings back the system's dialogs.
std::shared_ptr<LessonDialogs> setLessonDialogs(std::shared_ptr<LessonDialogs> dialogs);

/// "课件 (*.kejian)".
QString lessonFilter();

} // namespace canvas
