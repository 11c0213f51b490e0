#pragma once

#include <QFrame>

class EditorPane;
class QLabel;
class QLineEdit;
class QToolButton;

// The find bar of an editor pane, laid over the pane's top right corner so that no window has to
// make room for it. Ctrl+F opens it with the selected text, typing finds as it goes, Enter and F3
// find the next occurrence, Shift+Enter and Shift+F3 the previous one (both wrap around), "Aa"
// matches letter case, and Escape closes it and gives the pane the focus back. "Not found" shows in the bar. The pane owns it.
class FindBar : public QFrame {
    Q_OBJECT
public:
    explicit FindBar(EditorPane *pane);

    // The pane's bar, or nullptr when none was attached.
    static FindBar *of(const EditorPane *pane);

    void open();
    bool findNext();
    bool findPrevious();
    void closeBar();

    // What the bar says about the last search: empty, or "Not found".
    QString status() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    bool find(bool forward, bool fromSelectionStart = false);
    void place();
    void showMatch();

    EditorPane *pane_;
    QLineEdit *txtFind_;
    QToolButton *chkMatchCase_;
    QLabel *lblStatus_;
};
