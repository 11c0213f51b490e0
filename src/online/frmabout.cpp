#include "online/frmabout.h"

#include "widgets/screenfit.h"

#include <QLabel>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QVBoxLayout>

FrmAbout::FrmAbout(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(tr("About Varlex"));
    setFixedSize(420, 220);

    lblAbout_ = new QLabel(aboutText(), this);
    lblAbout_->setObjectName(QStringLiteral("lblAbout"));
    lblAbout_->setAlignment(Qt::AlignLeft | Qt::AlignBottom);
    lblAbout_->setStyleSheet(QStringLiteral("color: white; background: transparent;"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 24, 24, 24);
    layout->addWidget(lblAbout_);
}

QString FrmAbout::aboutText()
{
    return QStringLiteral("Varlex - Language File Generator\n"
                          "Copyright (C) the Varlex authors. All rights reserved.\n")
        + QStringLiteral("    Version: ") + QStringLiteral(VARLEX_VERSION);
}

void FrmAbout::centreOn(const QWidget *mainWindow)
{
    if (!mainWindow)
        return;
    const QRect main = mainWindow->frameGeometry();
    const QSize own = frameGeometry().size();
    move(main.left() + (main.width() - own.width()) / 2, main.top() + (main.height() - own.height()) / 2);
    ScreenFit::keepVisible(this);
}

void FrmAbout::showModal(QWidget *mainWindow)
{
    FrmAbout about(mainWindow);
    about.centreOn(mainWindow);
    about.exec();
}

// The background picture: a deep blue gradient with the program's name in large type.
void FrmAbout::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    QLinearGradient gradient(rect().topLeft(), rect().bottomRight());
    gradient.setColorAt(0.0, QColor(0x10, 0x2a, 0x5c));
    gradient.setColorAt(1.0, QColor(0x2f, 0x7d, 0xb8));
    painter.fillRect(rect(), gradient);
    QFont font = painter.font();
    font.setPointSize(28);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(QColor(255, 255, 255, 200));
    painter.drawText(rect().adjusted(24, 20, -24, -20), Qt::AlignTop | Qt::AlignLeft, QStringLiteral("Varlex"));
}

void FrmAbout::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        accept();
}
