#pragma once

// The programs' start-up language (Qt's own words and the default locale Chinese) for one scope, so a test
// sees what a program's window sees and leaves the process as it found it.

#include "classroom/startup.h"

#include <QCoreApplication>
#include <QLocale>
#include <QTranslator>

namespace testsupport {

class ChineseLanguage {
public:
    /// Installs the language as a program does at start-up, from Qt's translations in `folder`.
    explicit ChineseLanguage(const QString& folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath))
        : translator_(canvas::installChineseLanguage(folder)) {}
    ~ChineseLanguage() {
        if (translator_) {
            QCoreApplication::removeTranslator(translator_);
            delete translator_;
        }
        QLocale::setDefault(previous_);
    }
    ChineseLanguage(const ChineseLanguage&) = delete;
    ChineseLanguage& operator=(const ChineseLanguage&) = delete;

    /// The translator in use; null when the folder lacks Qt's Chinese translations.
    QTranslator* translator() const { return translator_; }

private:
    QLocale previous_;
    QTranslator* translator_;
};

} // namespace testsupport
