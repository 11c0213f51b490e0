#include "mainwindow/tracepanel.h"
#include "ui_frmmain.h"
#include "lint/linter.h"
#include "mainwindow/frmdebug.h"
#include "session/editsession.h"
#include "widgets/clicklabel.h"
#include "widgets/colorlabel.h"
#include "widgets/screenfit.h"
#include "widgets/tracebox.h"

#include <QAction>
#include <QLabel>
#include <QProgressDialog>
#include <QThread>

#include <utility>

namespace {

const QString kCrLf = QStringLiteral("\r\n");
constexpr qsizetype kStatusPaneLimit = 64000;

} // namespace

TracePanel::TracePanel(PanelContext context, QObject *parent)
    : QObject(parent)
    , context_(context)
    , session_(context.session)
    , txtStatus_(context.ui.txtStatus)
    , lblRedFlag_(context.ui.lblRedFlag)
    , mnuDebug_(context.ui.mnuDebug)
    , mnuDirty_(context.ui.mnuDirty)
{
    ColorLabel::setBackColor(lblRedFlag_, 0x00FF00);
    connect(mnuDebug_, &QAction::triggered, this, &TracePanel::mnuDebug_Click);
    connect(mnuDirty_, &QAction::triggered, this, &TracePanel::mnuDirty_Click);
    mnuLint_ = context.ui.mnuLint;
    mnuLint_->setCheckable(true); // unchecked, the token boxes come back
    connect(mnuLint_, &QAction::triggered, this, &TracePanel::mnuLint_Click);
    connect(&session_, &EditSession::languageShown, this, [this] {
        if (mnuLint_->isChecked())
            showLint(); // the findings always belong to the language shown
    });
    ClickLabel::onRelease(context.ui.lblStatus, [this](Qt::MouseButton) { mnuDebug_->trigger(); });
    ClickLabel::onRelease(lblRedFlag_, [this](Qt::MouseButton) { mnuDirty_->trigger(); });
    ClickLabel::onRelease(context.ui.lblSample, [this](Qt::MouseButton) { lblSample_Click(); });

    connect(&session_, &EditSession::traceEntry, this, &TracePanel::traceEntry);
    connect(&session_.preview(), &PreviewPipeline::statusTextSet, txtStatus_, &TraceBox::setText);
    connect(&session_.preview(), &PreviewPipeline::statusTextAppended, txtStatus_, &TraceBox::append);
    connect(&session_.preview(), &PreviewPipeline::debugTextAppended, this, &TracePanel::appendDebugText);
    connect(&session_.preview(), &PreviewPipeline::validityChanged, this, [this](const QString &message, qint32 colour) {
        validityMessage_ = message;
        ColorLabel::setBackColor(lblRedFlag_, colour);
        lblRedFlag_->setAccessibleDescription(message);
    });
    // The preview empties a status pane that has grown too long.
    connect(&session_.preview(), &PreviewPipeline::previewXml, this, [this] {
        if (txtStatus_->text().size() > kStatusPaneLimit)
            txtStatus_->setText(QString());
    });
}

TracePanel::~TracePanel()
{
    if (lintThread_) {
        *lintCancel_ = true;
        lintThread_->wait();
        delete lintThread_;
    }
    delete lintProgress_.data();
    if (frmDebug_) {
        frmDebug_->close();
        delete frmDebug_.data();
    }
}

void TracePanel::traceStartUp()
{
    statusPaneShown_ = true;
    updateModes();
}

void TracePanel::showStatusPaneAsChecked()
{
    statusPaneShown_ = mnuDebug_->isChecked();
    txtStatus_->setVisible(statusPaneShown_);
    updateModes();
    Q_EMIT statusPaneChanged(statusPaneShown_);
}

void TracePanel::updateModes()
{
    session_.setOutputModes({mnuDebug_->isChecked(), mnuDirty_->isChecked(), debugWindowOpen_});
}

void TracePanel::traceEntry(const QString &statusLabel, const QString &debugLabel)
{
    if (statusPaneShown_ && !mnuDirty_->isChecked())
        txtStatus_->append(statusLabel + kCrLf);
    appendDebugText(debugLabel + kCrLf);
}

void TracePanel::appendDebugText(const QString &text)
{
    if (debugWindowOpen_ && frmDebug_)
        frmDebug_->txtStatus()->append(text);
}

void TracePanel::appendTimingLine(const QString &timing)
{
    appendDebugText(kCrLf + timing + kCrLf);
}

// Shows or hides the status pane with a fresh text; the token labels take its place when hidden.
void TracePanel::applyStatusPane(bool shown, const QString &text)
{
    txtStatus_->setVisible(shown);
    statusPaneShown_ = shown;
    txtStatus_->setText(text);
    updateModes();
    Q_EMIT statusPaneChanged(shown);
}

void TracePanel::mnuDebug_Click()
{
    mnuLint_->setChecked(false);
    const bool shown = mnuDebug_->isChecked();
    applyStatusPane(shown, shown ? tr("<Trace Mode>") + kCrLf : tr("<Troubleshooting disabled>"));
}

void TracePanel::mnuDirty_Click()
{
    mnuLint_->setChecked(false);
    const bool shown = mnuDirty_->isChecked();
    applyStatusPane(shown, shown ? tr("<Validity Mode>") + kCrLf + validityMessage_
                                 : tr("<Troubleshooting disabled>"));
}

void TracePanel::reportProblem(const QString &message)
{
    if (statusPaneShown_)
        txtStatus_->append(message + kCrLf);
    appendDebugText(message + kCrLf);
}

// Options > Debug Mode > Lint: the status pane shows what lint finds in the language shown, until
// Lint is unchecked (the pane goes back to Trace or Validity, or gives way to the token boxes) or
// Trace or Validity takes the pane. A large language takes a while: lint runs on a worker thread on a
// copy of the database, so the window keeps answering; a progress window (not modal, so that nothing
// runs events inside its updates) with a Cancel key shows after half a second.
void TracePanel::mnuLint_Click()
{
    if (mnuLint_->isChecked()) {
        showLint();
    } else if (mnuDirty_->isChecked()) {
        mnuDirty_Click();
    } else if (mnuDebug_->isChecked()) {
        mnuDebug_Click();
    } else {
        applyStatusPane(false, tr("<Troubleshooting disabled>"));
    }
}

void TracePanel::showLint()
{
    if (!session_.hasLanguage())
        return;
    if (lintThread_) {
        // Another language is shown, or the language changed: the running lint stops, then starts again.
        lintAgain_ = true;
        *lintCancel_ = true;
        return;
    }
    const auto db = std::make_shared<const Database>(session_.db());
    const int index = session_.currentLanguage();
    const QString name = session_.language().name;
    txtStatus_->setVisible(true);
    txtStatus_->setText(QStringLiteral("<Lint>") + kCrLf + tr("Checking \"%1\"...").arg(name));
    Q_EMIT statusPaneChanged(true);
    auto *progress = new QProgressDialog(tr("Checking \"%1\"...").arg(name), tr("Cancel"), 0, 1,
                                         context_.window);
    progress->setObjectName(QStringLiteral("dlgLintProgress"));
    progress->setWindowTitle(tr("Lint"));
    progress->setMinimumDuration(500);
    progress->setAutoReset(false);
    progress->setAutoClose(false);
    progress->setValue(0);
    lintProgress_ = progress;
    const auto cancel = std::make_shared<std::atomic_bool>(false);
    lintCancel_ = cancel;
    connect(progress, &QProgressDialog::canceled, this, [cancel] { *cancel = true; });
    // The worker touches nothing of the window: progress and the result go to the panel, which
    // outlives the thread (its destructor waits for it), and the panel updates the progress window
    // on its own thread, where that window may be gone by then (the main window closed).
    lintThread_ = QThread::create([this, db, index, name, cancel] {
        QVector<Lint::Finding> findings;
        const bool complete = Lint::lintLanguage(*db, index, [this, cancel](int done, int total) {
            if (done >= 0)
                QMetaObject::invokeMethod(this, [this, done, total] {
                    if (lintProgress_) {
                        lintProgress_->setMaximum(total);
                        lintProgress_->setValue(done);
                    }
                }, Qt::QueuedConnection);
            return !*cancel;
        }, findings);
        // Delivered on the window's thread; dropped if the panel is gone by then.
        QMetaObject::invokeMethod(this, [this, name, findings, complete] { finishLint(name, findings, complete); },
                                  Qt::QueuedConnection);
    });
    lintThread_->start();
}

void TracePanel::finishLint(const QString &name, const QVector<Lint::Finding> &findings, bool complete)
{
    lintThread_->wait();
    delete lintThread_;
    lintThread_ = nullptr;
    // A Cancel pressed after the last check still discards the result: the user asked for nothing.
    const bool cancelled = !complete || *lintCancel_ || (lintProgress_ && lintProgress_->wasCanceled());
    delete lintProgress_.data();
    if (std::exchange(lintAgain_, false)) {
        if (mnuLint_->isChecked())
            showLint();
        return;
    }
    if (!mnuLint_->isChecked())
        return; // the pane was given back meanwhile
    txtStatus_->setVisible(true);
    txtStatus_->setText(QStringLiteral("<Lint>") + kCrLf
                        + (cancelled ? tr("Lint of \"%1\" cancelled.").arg(name) : Lint::validityText(findings)));
    Q_EMIT statusPaneChanged(true);
}

// Opens the trace window beside the main window: 300 twips to its right, as high as it is.
void TracePanel::lblSample_Click()
{
    QWidget *window = context_.window;
    if (!frmDebug_)
        frmDebug_ = new FrmDebug(window);
    const QRect main = window->frameGeometry();
    frmDebug_->move(main.x() + main.width() + 300 * window->logicalDpiX() / 1440, main.y());
    frmDebug_->resize(frmDebug_->width(), main.height());
    ScreenFit::keepVisible(frmDebug_); // beside a maximised window it would lie off the screen
    frmDebug_->show();
    frmDebug_->raise();
    debugWindowOpen_ = true;
    updateModes();
}
