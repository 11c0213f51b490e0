#include "online/onlineconfig.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace {

// The host is joined with absolute paths, so a trailing slash would double up.
QString trimmedHost(QString host)
{
    while (host.endsWith(QLatin1Char('/')))
        host.chop(1);
    return host;
}

} // namespace

OnlineConfig OnlineConfig::load(const QString &programFolder)
{
    OnlineConfig config;
    const QString file = QDir(programFolder).filePath(QStringLiteral("online.ini"));
    if (!QFileInfo::exists(file))
        return config;
    QSettings ini(file, QSettings::IniFormat);
    ini.beginGroup(QStringLiteral("Online"));
    const auto take = [&ini](const char *key, QString &target) {
        const QString value = ini.value(QLatin1String(key)).toString().trimmed();
        if (!value.isEmpty())
            target = value;
    };
    take("Host", config.host);
    take("SupportPage", config.supportPage);
    take("Email", config.email);
    return config;
}

QString OnlineConfig::messageUrl() const
{
    return trimmedHost(host) + QStringLiteral("/files/varlexmessage.txt");
}

QString OnlineConfig::webSiteUrl() const
{
    return trimmedHost(host) + QStringLiteral("/free");
}

QString OnlineConfig::forumUrl() const
{
    return trimmedHost(host) + QStringLiteral("/phpbb");
}

QString OnlineConfig::onlineHelpUrl() const
{
    return trimmedHost(host) + QStringLiteral("/free/varlex.htm");
}

QString OnlineConfig::mailUrl() const
{
    return QStringLiteral("mailto:") + email
        + QStringLiteral("?subject=Varlex&body=Suggestions, comments, or problems:");
}
