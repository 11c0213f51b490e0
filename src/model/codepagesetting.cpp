#include "model/codepagesetting.h"

#include "model/ansicodec.h"

#include <QSettings>

namespace CodePageSetting {

QString apply()
{
    const QString name = QSettings().value(QLatin1String(kKey)).toString().trimmed();
    AnsiCodec::useDefaultCodePage();
    QString why;
    if (name.isEmpty() || AnsiCodec::setCodePage(name, &why))
        return QString();
    return QStringLiteral("The code page \"%1\" of the setting CodePage cannot be used (%2); windows-1252 is used.")
        .arg(name, why);
}

} // namespace CodePageSetting
