#include "widgets/dialogs.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QGridLayout>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSpacerItem>

namespace {

// Width a dialog needs so that the window manager does not cut its title: the title in a bold face
// (as title bars draw it) and room for the icon and the buttons of the title bar.
int titleWidth(const QWidget &dialog, const QString &title)
{
    QFont font = dialog.font();
    font.setBold(true);
    constexpr int kTitleBarExtras = 150;
    return QFontMetrics(font).horizontalAdvance(title) + kTitleBarExtras;
}

// A message box with its title, text and icon; its buttons are the caller's.
void prepare(QMessageBox &box, const QString &text, const QString &title, Dialogs::Icon icon)
{
    box.setWindowTitle(title.isEmpty() ? QStringLiteral("Varlex") : title);
    box.setText(text);
    switch (icon) {
    case Dialogs::Icon::None: box.setIcon(QMessageBox::NoIcon); break;
    case Dialogs::Icon::Information: box.setIcon(QMessageBox::Information); break;
    case Dialogs::Icon::Question: box.setIcon(QMessageBox::Question); break;
    case Dialogs::Icon::Exclamation: box.setIcon(QMessageBox::Warning); break;
    case Dialogs::Icon::Critical: box.setIcon(QMessageBox::Critical); break;
    }
}

// A message box sizes itself to its layout (made afresh when buttons or texts are set), so the
// title's width goes in as a spacer just before it is shown.
int execWithTitleRoom(QMessageBox &box)
{
    if (auto *grid = qobject_cast<QGridLayout *>(box.layout()))
        grid->addItem(new QSpacerItem(titleWidth(box, box.windowTitle()), 0, QSizePolicy::Minimum),
                      grid->rowCount(), 0, 1, grid->columnCount());
    return box.exec();
}

} // namespace

Dialogs::Answer QtDialogs::message(QWidget *parent, const QString &text, const QString &title,
                                   Buttons buttons, Icon icon)
{
    QMessageBox box(parent);
    prepare(box, text, title, icon);
    switch (buttons) {
    case Buttons::Ok: box.setStandardButtons(QMessageBox::Ok); break;
    case Buttons::OkCancel: box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel); break;
    case Buttons::YesNo: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
    case Buttons::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        break;
    }
    switch (execWithTitleRoom(box)) {
    case QMessageBox::Ok: return Answer::Ok;
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    default: return Answer::Cancel;
    }
}

void QtDialogs::detailed(QWidget *parent, const QString &text, const QString &title, const QString &details,
                         Icon icon)
{
    QMessageBox box(parent);
    prepare(box, text, title, icon);
    box.setStandardButtons(QMessageBox::Ok);
    box.setDetailedText(details);
    execWithTitleRoom(box);
}

int QtDialogs::choose(QWidget *parent, const QString &text, const QString &title, const QStringList &verbs,
                      Icon icon)
{
    QMessageBox box(parent);
    prepare(box, text, title, icon);
    QList<QAbstractButton *> buttons;
    for (qsizetype i = 0; i < verbs.size(); ++i)
        buttons << box.addButton(verbs[i], i + 1 == verbs.size() ? QMessageBox::RejectRole : QMessageBox::AcceptRole);
    if (!buttons.isEmpty()) {
        box.setDefaultButton(static_cast<QPushButton *>(buttons.last()));
        box.setEscapeButton(buttons.last());
    }
    execWithTitleRoom(box);
    const qsizetype chosen = buttons.indexOf(box.clickedButton());
    return chosen < 0 ? int(verbs.size()) - 1 : int(chosen);
}

QString QtDialogs::input(QWidget *parent, const QString &prompt, const QString &title,
                         const QString &defaultAnswer)
{
    QInputDialog dialog(parent);
    dialog.setWindowTitle(title);
    dialog.setLabelText(prompt);
    dialog.setTextValue(defaultAnswer);
    // The dialog's layout fixes its minimum size, so the width goes to the text box.
    if (auto *box = dialog.findChild<QLineEdit *>())
        box->setMinimumWidth(titleWidth(dialog, title));
    return dialog.exec() == QDialog::Accepted ? dialog.textValue() : QString();
}

qint32 QtDialogs::color(QWidget *parent)
{
    const QColor c = QColorDialog::getColor(Qt::black, parent);
    if (!c.isValid())
        return -1;
    return qint32(c.red() | (c.green() << 8) | (c.blue() << 16));
}

QString QtDialogs::openFile(QWidget *parent, const QString &title, const QString &folder,
                            const QString &filter)
{
    return QFileDialog::getOpenFileName(parent, title, folder, filter);
}

QString QtDialogs::saveFile(QWidget *parent, const QString &title, const QString &path,
                            const QString &filter)
{
    return QFileDialog::getSaveFileName(parent, title, path, filter);
}

QString QtDialogs::folder(QWidget *parent, const QString &title, const QString &start)
{
    return QFileDialog::getExistingDirectory(parent, title, start);
}
