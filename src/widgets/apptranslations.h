#pragma once

#include <QList>
#include <QLocale>

class QTranslator;

// The window's translations: Qt's own (buttons of standard dialogs, context menus of text fields,
// the editor panes') and Varlex's, for a locale. Varlex's come from translations/ in the program's
// folder (the build tree) or from share/varlex/translations beside an installed bin/.
namespace AppTranslations {

// Installs every translation found for the locale; returns them (owned by the application).
// English needs none. programDir defaults to the folder of the running program.
QList<QTranslator *> install(const QLocale &locale = QLocale::system(), QString programDir = QString());

} // namespace AppTranslations
