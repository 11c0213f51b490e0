#pragma once

#include <QMainWindow>
#include <QString>

#include <memory>

class CompiledLanguage;
class Dialogs;
class EditorPane;
class QListWidget;
class QMenu;
class QSplitter;
class QToolBar;

// What the viewer takes from the main window when it opens.
struct ViewerContext {
    QString exportFolder;  // the folder whose .lng files are listed
    QString programFolder; // holds varlex.lng, and the PDF when no printer is set up
    // The language that colours XML: the first registered language. Null shows plain text.
    std::shared_ptr<const CompiledLanguage> xmlLanguage;
};

// The language file viewer: lists the .lng files of the export folder and shows, edits, saves,
// prints and deletes them. Non-modal; it deletes itself when closed, so the main window keeps it
// in a QPointer and creates a new one for the next "Show Language Files". Closing asks to save
// edits of the shown file; close() returns false when the user cancels.
//
// The highlighted entry of the list is always the file the pane shows (none while it shows
// varlex.lng), and Save, Print and Delete act on exactly that file.
class FrmViewer : public QMainWindow {
    Q_OBJECT
public:
    FrmViewer(Dialogs &dialogs, ViewerContext context, QWidget *parent = nullptr);

    // "get" reads the window geometry from the settings store and applies it; any other task
    // writes it, unless the window is minimized or maximized.
    void Settings(const QString &task);

    void lstFiles_Click();
    void mnuSave_Click();
    void mnuPrint_Click();
    void mnuDelete_Click();
    void mnuVarlex_Click();
    void Toolbar1_ButtonClick(const QString &key);

    // "Show Language Files" while the viewer is open: brings it to the front with the list read
    // again.
    void showFiles();
    // Lists the folder's files again, keeping the shown file highlighted while it is there.
    void refreshFiles();

    // The main window is closing: offers to save edits of the shown file first. False when the user
    // cancels; the window and its edits then stay. After true, closing asks nothing more.
    bool queryClose();

    // The highlighted file of the list, as a full path; empty without one.
    QString selectedFile() const;

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void Form_Load();
    void lstFiles_MouseUp(Qt::MouseButton button, const QPoint &globalPos);
    void colourPane(EditorPane *pane) const;
    void showText(const QString &text, const QString &name);
    QString highlightedName() const;
    void highlightShownFile();
    bool fileChosen(const QString &title);
    bool offerSave();
    bool saveFile(const QString &path);
    bool readFile(const QString &path, const QString &title, QString &text);
    void report(const QString &title, const QString &text);
    QSize usefulSize() const;
    double twipsPerPixel() const;
    int toPixels(double twips) const;

    Dialogs &dialogs_;
    ViewerContext context_;
    QWidget *central_ = nullptr;
    QSplitter *splitter_ = nullptr;
    QListWidget *lstFiles_ = nullptr;
    EditorPane *txtFile_ = nullptr;
    QToolBar *toolbar_ = nullptr;
    QMenu *mnuPopUp_ = nullptr;
    QString shownName_;        // the file of the list the pane holds; empty for none or varlex.lng
    bool closeAgreed_ = false; // queryClose() asked already
};
