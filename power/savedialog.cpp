#include "power/savedialog.h"

#include "classroom/canvascommands.h"
#include "classroom/exportdialogs.h"
#include "classroom/scaledlayout.h"
#include "power/picturefile.h"
#include "runtime/messagebox.h"
#include "widgets/accessibility.h"
#include "widgets/controls.h"
#include "widgets/imagecontrol.h"
#include "widgets/messagebar.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
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

SaveDialog::SaveDialog(std::function<QImage()> picture, QWidget* parent)
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

    ui_.driveList = new DriveListBox(this);
    ui_.driveList->setGeometry(twips(120, 120, 2775, 300));
    ui_.driveList->setAccessibleName(QStringLiteral("驱动器"));
    ui_.folderList = new DirListBox(this);
    ui_.folderList->setGeometry(twips(120, 480, 2775, 930));
    ui_.folderList->setAccessibleName(QStringLiteral("文件夹"));
    ui_.fileList = new FileListBox(this);
    ui_.fileList->setGeometry(twips(120, 1440, 2775, 1170));
    ui_.fileList->setAccessibleName(QStringLiteral("文件"));
    ui_.nameLabel = new QLabel(QStringLiteral("请输入文件名："), this);
    ui_.nameLabel->setGeometry(twips(120, 2760, 2775, 495));
    ui_.nameLabel->setFont(designFont(QStringLiteral("宋体"), 10.5));
    ui_.nameBox = new QLineEdit(this);
    ui_.nameBox->setGeometry(twips(120, 3120, 2895, 495));
    ui_.nameBox->setAccessibleName(QStringLiteral("文件名"));
    ui_.nameBox->setFont(designFont(QStringLiteral("宋体"), 10.5));
    ui_.saveButton = new QPushButton(QStringLiteral("保存"), this);
    ui_.saveButton->setGeometry(twips(1200, 3840, 855, 375));
    ui_.cancelButton = new QPushButton(QStringLiteral("取消"), this);
    ui_.cancelButton->setGeometry(twips(2160, 3840, 855, 375));
    // Below the client area: it only holds the path of the last save.
    ui_.pathBox = new QLineEdit(this);
    ui_.pathBox->setGeometry(twips(240, 4560, 4095, 495));
    ui_.pathBox->setAccessibleName(QStringLiteral("保存路径"));
    ui_.pathBox->setFocusPolicy(Qt::NoFocus);
    // Never seen, so hidden: screen readers pass it by as the eye does.
    ui_.pathBox->hide();

    canvas::setTabChain(
        {ui_.driveList, ui_.folderList, ui_.nameBox, ui_.saveButton, ui_.cancelButton, ui_.fileList});
    canvas::enterPressesButtons(this);

    // The lists start at the program's current folder, each following the one before it.
    connect(ui_.driveList, &DriveListBox::Change, this, canvas::handler(this, &SaveDialog::onDriveChanged));
    connect(ui_.folderList, &DirListBox::Change, this, canvas::handler(this, &SaveDialog::onFolderChanged));
    connect(ui_.saveButton, &QPushButton::clicked, this, canvas::handler(this, &SaveDialog::onSaveClicked));
    connect(ui_.cancelButton, &QPushButton::clicked, this,
            canvas::handler(this, &SaveDialog::onCancelClicked));
    const QString current = QDir::currentPath();
    ui_.driveList->blockSignals(true);
    ui_.driveList->setDriveOf(current);
    ui_.driveList->blockSignals(false);
    ui_.folderList->setPath(current);
    canvas::followDisplayScale(this);
}

void SaveDialog::onDriveChanged() {
    ui_.folderList->setPath(ui_.driveList->Drive());
}

void SaveDialog::onFolderChanged() {
    ui_.fileList->setPath(ui_.folderList->Path());
}

void SaveDialog::onSaveClicked() {
    const QString p = ui_.fileList->Path();
    const QString full = savePath(p, ui_.nameBox->text());
    // An older picture of that name is the pupil's own work: it is replaced only when they say so, by the
    // same question as the export command asks. 否 writes nothing and leaves the path of the last save.
    if (QFileInfo::exists(full)) {
        const canvas::ModalScope modal;
        if (!canvas::exportDialogs().confirmReplace(this, windowTitle(), canvas::replaceQuestion(full)))
            return;
    }
    ui_.pathBox->setText(full);
    // A failed save must not pass for a saved picture: the path in ui_.pathBox alone reads as success.
    const SaveOutcome outcome = writePictureFile(picture_(), full);
    if (outcome != SaveOutcome::Saved) {
        canvas::MsgBox(saveFailureText(outcome), canvas::kWarningTitle, canvas::MessageIcon::Exclamation);
        return;
    }
    // Nothing on screen says that the file is written; a screen reader on the button hears where.
    canvas::announce(ui_.saveButton, QStringLiteral("已保存：") + QDir::toNativeSeparators(full));
    canvas::speak(ui_.saveButton, canvas::savedWords(full));
}

void SaveDialog::keyPressEvent(QKeyEvent* event) {
    // Only keys no control took arrive here: an open drive list keeps its Esc.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void SaveDialog::openFrom(QWidget* owner, QWidget* fallback) {
    owner_ = owner;
    fallback_ = fallback;
    show();
    raise();
    activateWindow();
}

void SaveDialog::closeEvent(QCloseEvent* event) {
    QWidget::closeEvent(event);
    if (!owner_)
        return;
    // The window manager gives the activation to no one in particular, and Qt would leave the owner without
    // a focused control: its keys (Ctrl+0 and the rest) would wait for a click. The owner takes both back
    // once the close is done, unless it is closing too (it closes the dialog as it goes).
    QMetaObject::invokeMethod(
        owner_,
        [owner = owner_, fallback = fallback_] {
            if (!owner || !owner->isVisible())
                return;
            // The control the owner last had focused (it keeps it while inactive), else the fallback.
            QWidget* focus = owner->focusWidget();
            QWidget* target = focus && focus->isVisible() && focus->isEnabled() ? focus : fallback.data();
            owner->activateWindow();
            if (target)
                target->setFocus(Qt::ActiveWindowFocusReason);
        },
        Qt::QueuedConnection);
}

void SaveDialog::onCancelClicked() {
    ui_.nameBox->clear();
}

} // namespace quorvex
