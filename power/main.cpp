#include "form1.h"

#include "canvas/fonts.h"
#include "canvas/qtmessagebox.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    // Every pointer event of a drag is one drag step; do not let the platform merge them.
    QCoreApplication::setAttribute(Qt::AA_CompressHighFrequencyEvents, false);
    QApplication app(argc, argv);
    canvas::installFontSubstitutions();
    canvas::setMessageBoxService(std::make_shared<canvas::QtMessageBoxService>());
    quorvex::Form1 form;
    form.show();
    return app.exec();
}
