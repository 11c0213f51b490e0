#include "model/codepagesetting.h"

#include "model/ansicodec.h"

#include <QSettings>

namespace CodePageSetting {

QString apply()
{
    const QString name = QSettings().value(QLatin1String(kKey)).toString().trimmed();
    AnsiCodec::setCodePage(QLatin1String(AnsiCodec::kDefaultCodePage));
    if (name.isEmpty() || AnsiCodec::setCodePage(name))
        return QString();
    return QStringLiteral("The code page \"%1\" of the setting CodePage is not known; windows-1252 is used.").arg(name);
}

} // namespace CodePageSetting
