#include "power/form2.h"

#include "classroom/canvascommands.h"
#include "classroom/scaledlayout.h"
#include "power/picturefile.h"
#include "runtime/messagebox.h"
#include "widgets/accessibility.h"
#include "widgets/controls.h"
#include "widgets/imagecontrol.h"
#include "widgets/messagebar.h"

#include <QDir>
#include <QKeyEvent>

namespace quorvex {

using canvas::designFont;
using canvas::twips;

QString savePath(const QString& folder, const QString& name) {
    const QString separator = QStringLiteral("/");
    return folder.endsWith(separator) ? folder + name + QStringLiteral(".BMP")
                                      : folder + separator + name + QStringLiteral(".BMP");
}

bool SavePicture(const QImage& picture, const QString& path) {
    return writePictureFile(picture, path) == SaveOutcome::Saved;
}

Form2::Form2(std::function<QImage()> picture, QWidget* parent)
    : QWidget(parent,
              Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      picture_(std::move(picture)) {
    setWindowTitle(QStringLiteral("保存图象"));
    setWindowIcon(canvas::programIcon(QStringLiteral(":/power/icon.svg")));
    // The dialog never keeps the program alive on its own: closing the main window ends the program.
    setAttribute(Qt::WA_QuitOnClose, false);
    setFixedSize(twips(0, 0, 3165, 4350).size());
    setFont(designFont(QStringLiteral("宋体"), 9));
    setAttribute(Qt::WA_DeleteOnClose);

    Drive1 = new DriveListBox(this);
    Drive1->setGeometry(twips(120, 120, 2775, 300));
    Drive1->setAccessibleName(QStringLiteral("驱动器"));
    Dir1 = new DirListBox(this);
    Dir1->setGeometry(twips(120, 480, 2775, 930));
    Dir1->setAccessibleName(QStringLiteral("文件夹"));
    File1 = new FileListBox(this);
    File1->setGeometry(twips(120, 1440, 2775, 1170));
    File1->setAccessibleName(QStringLiteral("文件"));
    Label1 = new QLabel(QStringLiteral("请输入文件名："), this);
    Label1->setGeometry(twips(120, 2760, 2775, 495));
    Label1->setFont(designFont(QStringLiteral("宋体"), 10.5));
    Text1 = new QLineEdit(this);
    Text1->setGeometry(twips(120, 3120, 2895, 495));
    Text1->setAccessibleName(QStringLiteral("文件名"));
    Text1->setFont(designFont(QStringLiteral("宋体"), 10.5));
    Command1 = new QPushButton(QStringLiteral("保存"), this);
    Command1->setGeometry(twips(1200, 3840, 855, 375));
    Command2 = new QPushButton(QStringLiteral("取消"), this);
    Command2->setGeometry(twips(2160, 3840, 855, 375));
    // Below the client area: it only holds the path of the last save.
    Text2 = new QLineEdit(QStringLiteral("Text2"), this);
    Text2->setGeometry(twips(240, 4560, 4095, 495));
    Text2->setAccessibleName(QStringLiteral("保存路径"));
    Text2->setFocusPolicy(Qt::NoFocus);
    // Never seen, so hidden: screen readers pass it by as the eye does.
    Text2->hide();

    canvas::setTabOrderByIndex(
        {{0, Drive1}, {1, Dir1}, {2, Text1}, {3, Command1}, {4, Command2}, {5, File1}});
    canvas::enterPressesButtons(this);

    // The lists start at the program's current folder, each following the one before it.
    connect(Drive1, &DriveListBox::Change, this, canvas::handler(this, &Form2::Drive1_Change));
    connect(Dir1, &DirListBox::Change, this, canvas::handler(this, &Form2::Dir1_Change));
    connect(Command1, &QPushButton::clicked, this, canvas::handler(this, &Form2::Command1_Click));
    connect(Command2, &QPushButton::clicked, this, canvas::handler(this, &Form2::Command2_Click));
    const QString current = QDir::currentPath();
    Drive1->blockSignals(true);
    Drive1->setDriveOf(current);
    Drive1->blockSignals(false);
    Dir1->setPath(current);
    canvas::followDisplayScale(this);
}

void Form2::Drive1_Change() {
    Dir1->setPath(Drive1->Drive());
}

void Form2::Dir1_Change() {
    File1->setPath(Dir1->Path());
}

void Form2::Command1_Click() {
    const QString p = File1->Path();
    const QString full = savePath(p, Text1->text());
    Text2->setText(full);
    // A failed save must not pass for a saved picture: the path in Text2 alone reads as success.
    const SaveOutcome outcome = writePictureFile(picture_(), full);
    if (outcome != SaveOutcome::Saved) {
        canvas::MsgBox(saveFailureText(outcome), canvas::kWarningTitle, canvas::MessageIcon::Exclamation);
        return;
    }
    // Nothing on screen says that the file is written; a screen reader on the button hears where.
    canvas::announce(Command1, QStringLiteral("已保存：") + QDir::toNativeSeparators(full));
    canvas::speak(Command1, canvas::savedWords(full));
}

void Form2::keyPressEvent(QKeyEvent* event) {
    // Only keys no control took arrive here: an open drive list keeps its Esc.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void Form2::Command2_Click() {
    Text1->clear();
}

} // namespace quorvex
