#pragma once

#include "mainwindow/panelcontext.h"

#include <QObject>

class QAction;
class QListWidget;
class QMenu;

// The language list lstLang with its right-click menu, and the commands of the Languages menu that
// add, remove, rename or reorder languages. Shows the session's languages and current language.
class LanguageListPanel : public QObject {
    Q_OBJECT
public:
    explicit LanguageListPanel(PanelContext context, QObject *parent = nullptr);

    // Where the import file dialog opens; the folder of the file imported last.
    QString importFolder() const { return importFolder_; }
    void setImportFolder(const QString &folder) { importFolder_ = folder; }

    // Selects a row of the list; its click handler shows the language.
    void selectLanguage(int row);
    void lstLang_Click();
    void mnuChangeLanguageName_Click();
    void mnuNew_Click();
    void mnuDuplicate_Click();
    void mnuDelete_Click();
    void mnuSortLanguages_Click();
    void mnuImport_Click();
    // Imports one language file as a new language and reports a failure or the tokens that changed.
    void importFile(const QString &file);

private:
    void fillLanguageList();
    void showSelection();
    QString askLanguageName();
    void warnIfNameShared(const QString &name, const QString &title);

    PanelContext context_;
    EditSession &session_;
    QListWidget *lstLang_;
    QMenu *mnuPopupLanguage_;
    QString importFolder_;
    bool filling_ = false;
};
