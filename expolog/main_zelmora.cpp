#include "expolog/family.h"

#include "classroom/startup.h"
#include "drawing/fonts.h"
#include "widgets/qtmessagebox.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    // Every pointer event of a drag is one drag step; do not let the platform merge them.
    QCoreApplication::setAttribute(Qt::AA_CompressHighFrequencyEvents, false);
    canvas::prepareChineseSystemLocale();
    QApplication app(argc, argv);
    canvas::installChineseLanguage();
    canvas::installFontSubstitutions();
    canvas::setMessageBoxService(std::make_shared<canvas::QtMessageBoxService>());
    const canvas::StartOptions options = canvas::readStartOptions(QStringLiteral("Zelmora"), app.arguments());
    if (options.exitCode)
        return *options.exitCode;
    expolog::Form1 form(expolog::kZelmora);
    canvas::showMainWindow(form, options);
    return app.exec();
}
