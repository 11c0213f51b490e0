#pragma once

#include <QWidget>

class TraceBox;

// The trace window "Varlex Debug": one text pane that collects the trace and timing lines once the
// user has opened it. Closing it discards the text; the main window keeps sending lines.
class FrmDebug : public QWidget {
    Q_OBJECT
public:
    explicit FrmDebug(QWidget *parent = nullptr);

    TraceBox *txtStatus() const { return txtStatus_; }

protected:
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    TraceBox *txtStatus_;
};
