#pragma once

#include <QDialog>

class QLabel;

// The About box: a painted background and one label with the notice and the version.
class FrmAbout : public QDialog {
    Q_OBJECT
public:
    explicit FrmAbout(QWidget *parent = nullptr);

    // The label's text: the ownership notice, then "    Version: " and major.minor.revision.
    static QString aboutText();

    // Centres the box on the main window, measured by its outer frame, and on a screen.
    void centreOn(const QWidget *mainWindow);

    // mnuAbout_Click: shows the box modally, centred on the main window.
    static void showModal(QWidget *mainWindow);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    QLabel *lblAbout_ = nullptr;
};
