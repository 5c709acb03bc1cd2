#pragma once

// Answers the export and print dialogs for the lifetime of the object, as a user would, and records what
// they were asked.

#include "classroom/exportdialogs.h"

#include <QPrinter>

#include <functional>
#include <memory>
#include <optional>
#include <utility>

namespace testsupport {

class FakeExportDialogs {
public:
    struct Answers : canvas::ExportDialogs {
        QString name;      ///< the file name typed; empty cancels
        QString filter;    ///< the type chosen; empty keeps the one offered
        QString printFile; ///< the PDF the "printer" writes; empty cancels printing
        QString askedTitle;
        QStringList askedFilters;
        int asked = 0;
        bool replace = true;      ///< the answer to "replace the existing file?"
        QStringList replaceAsked; ///< the questions asked before replacing, in order
        /// 白色背景 as the user leaves it, where a dialog offers it; none leaves it as offered.
        std::optional<bool> whiteBackground;
        /// How the last dialog that offered 白色背景 showed it.
        std::optional<bool> whiteOffered;
        /// Runs while a dialog is "open".
        std::function<void()> whileOpen;
        QString saveFileName(QWidget*, const QString& title, const QStringList& filters, QString* chosen,
                             bool* white) override {
            ++asked;
            if (whileOpen)
                whileOpen();
            askedTitle = title;
            askedFilters = filters;
            if (!filter.isEmpty())
                *chosen = filter;
            answerWhite(white);
            return name;
        }
        bool confirmReplace(QWidget*, const QString&, const QString& question) override {
            replaceAsked << question;
            return replace;
        }
        bool setUpPrinter(QWidget*, QPrinter& printer, bool* white) override {
            ++asked;
            if (whileOpen)
                whileOpen();
            answerWhite(white);
            if (printFile.isEmpty())
                return false;
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(printFile);
            return true;
        }
        void answerWhite(bool* white) {
            if (!white)
                return;
            whiteOffered = *white;
            if (whiteBackground)
                *white = *whiteBackground;
        }
    };

    FakeExportDialogs()
        : answers_(std::make_shared<Answers>()), previous_(canvas::setExportDialogs(answers_)) {}
    ~FakeExportDialogs() { canvas::setExportDialogs(std::move(previous_)); }
    FakeExportDialogs(const FakeExportDialogs&) = delete;
    FakeExportDialogs& operator=(const FakeExportDialogs&) = delete;

    Answers& answers() { return *answers_; }
    /// Answers the next export dialog with this name (and type).
    void answer(const QString& name, const QString& filter = {}) {
        answers_->name = name;
        answers_->filter = filter;
    }

private:
    std::shared_ptr<Answers> answers_;
    std::shared_ptr<canvas::ExportDialogs> previous_;
};

} // namespace testsupport
