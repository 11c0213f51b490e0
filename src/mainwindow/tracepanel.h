#pragma once

#include "mainwindow/frmdebug.h"
#include "mainwindow/panelcontext.h"

#include "lint/finding.h"

#include <QObject>
#include <QPointer>
#include <QVector>

#include <atomic>
#include <memory>

class QAction;
class QLabel;
class QProgressDialog;
class QThread;
class TraceBox;

// The status pane txtStatus (trace lines in Trace mode, the validity report in Validity mode), the
// red-flag label, and the trace window "Varlex Debug" once the user has opened it.
class TracePanel : public QObject {
    Q_OBJECT
public:
    explicit TracePanel(PanelContext context, QObject *parent = nullptr);
    ~TracePanel() override;

    bool statusPaneShown() const { return statusPaneShown_; }
    bool debugWindowOpen() const { return debugWindowOpen_; }
    FrmDebug *debugWindow() const { return frmDebug_; }
    const QString &validityMessage() const { return validityMessage_; }

    // Start-up traces into the status pane until its last step shows the pane as Trace says.
    void traceStartUp();
    void showStatusPaneAsChecked();

    void traceEntry(const QString &statusLabel, const QString &debugLabel);
    void appendDebugText(const QString &text);
    void appendTimingLine(const QString &timing);
    void mnuDebug_Click();
    void mnuDirty_Click();
    void mnuLint_Click();
    void showLint();
    void lblSample_Click();
    // A problem found while colouring the preview: a line in the status pane while it shows the
    // trace or the validity report, and in the trace window.
    void reportProblem(const QString &message);

Q_SIGNALS:
    // The status pane was shown or hidden: it lies over the token boxes.
    void statusPaneChanged(bool shown);

private:
    void applyStatusPane(bool shown, const QString &text);
    void finishLint(const QString &name, const QVector<Lint::Finding> &findings, bool complete);
    void updateModes();

    PanelContext context_;
    EditSession &session_;
    TraceBox *txtStatus_;
    QLabel *lblRedFlag_;
    QAction *mnuDebug_;
    QAction *mnuDirty_;
    QAction *mnuLint_ = nullptr;
    QPointer<FrmDebug> frmDebug_;
    QString validityMessage_ = QStringLiteral("No errors detected!");
    bool statusPaneShown_ = false;
    bool debugWindowOpen_ = false;
    // Lint runs on a worker thread with a copy of the database, showing progress with a Cancel key.
    QThread *lintThread_ = nullptr;
    QPointer<QProgressDialog> lintProgress_;
    std::shared_ptr<std::atomic_bool> lintCancel_;
    bool lintAgain_ = false; // lint the language shown once the running lint has stopped
};
