#include "widgets/apptranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace AppTranslations {

QList<QTranslator *> install(const QLocale &locale, QString programDir)
{
    if (programDir.isEmpty())
        programDir = QCoreApplication::applicationDirPath();
    const QString qtDir = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    const std::pair<const char *, QStringList> sets[] = {
        {"qtbase", {qtDir}},
        {"qscintilla", {qtDir}},
        {"varlex", {programDir + QStringLiteral("/translations"), programDir + QStringLiteral("/../share/varlex/translations")}},
    };
    QList<QTranslator *> loaded;
    for (const auto &[name, folders] : sets) {
        for (const QString &folder : folders) {
            auto *translator = new QTranslator(QCoreApplication::instance());
            if (translator->load(locale, QString::fromLatin1(name), QStringLiteral("_"), folder)) {
                QCoreApplication::installTranslator(translator);
                loaded << translator;
                break;
            }
            delete translator;
        }
    }
    return loaded;
}

} // namespace AppTranslations
