#include "mainwindow/toolbaricons.h"

#include "widgets/readablecolour.h"

#include <QPainter>
#include <QPalette>
#include <QPixmap>
#include <QStyle>

namespace {

// A symbol drawn in the middle of a 32 x 32 picture (scaled down by the toolbar).
QIcon drawn(const QString &symbol, const QColor &colour, int pointSize, bool bold = true)
{
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(pointSize);
    font.setBold(bold);
    painter.setFont(font);
    painter.setPen(colour);
    painter.drawText(pixmap.rect(), Qt::AlignCenter, symbol);
    return QIcon(pixmap);
}

// A printer: paper above a body with a tray.
QIcon printer(const QColor &colour)
{
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(colour, 2));
    painter.setBrush(Qt::white);
    painter.drawRect(9, 3, 14, 10);
    painter.setBrush(QColor(200, 205, 215));
    painter.drawRoundedRect(3, 12, 26, 11, 2, 2);
    painter.setBrush(Qt::white);
    painter.drawRect(8, 20, 16, 9);
    painter.drawLine(11, 24, 21, 24);
    return QIcon(pixmap);
}

// A magnifying glass.
QIcon magnifier(const QColor &colour)
{
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(colour, 3));
    painter.setBrush(QColor(220, 235, 255));
    painter.drawEllipse(4, 4, 17, 17);
    painter.setPen(QPen(colour, 5, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(19, 19, 28, 28);
    return QIcon(pixmap);
}

} // namespace

namespace {

// The drawn picture of a button, in colours that stand out on the toolbar's background.
QIcon drawnIcon(const QString &key, const QStyle *style, const QPalette &palette)
{
    const QColor back = palette.color(QPalette::Window);
    const QColor dark = ReadableColour::on(QColor(40, 60, 110), back);
    const QColor red = ReadableColour::on(QColor(170, 30, 30), back);
    const QColor green = ReadableColour::on(QColor(20, 120, 40), back);
    if (key == QLatin1String("refresh"))
        return style->standardIcon(QStyle::SP_BrowserReload);
    if (key == QLatin1String("save"))
        return style->standardIcon(QStyle::SP_DialogSaveButton);
    if (key == QLatin1String("print"))
        return printer(dark);
    if (key == QLatin1String("new"))
        return style->standardIcon(QStyle::SP_FileIcon);
    if (key == QLatin1String("delete"))
        return drawn(QStringLiteral("\u2716"), red, 24);
    if (key == QLatin1String("openlang"))
        return style->standardIcon(QStyle::SP_DialogOpenButton);
    if (key == QLatin1String("view"))
        return style->standardIcon(QStyle::SP_FileDialogContentsView);
    if (key == QLatin1String("seek"))
        return magnifier(dark);
    if (key == QLatin1String("plus"))
        return drawn(QStringLiteral("+"), green, 32);
    if (key == QLatin1String("minus"))
        return drawn(QStringLiteral("\u2212"), red, 32);
    if (key == QLatin1String("up"))
        return style->standardIcon(QStyle::SP_ArrowUp);
    if (key == QLatin1String("down"))
        return style->standardIcon(QStyle::SP_ArrowDown);
    if (key == QLatin1String("font"))
        return drawn(QStringLiteral("A"), dark, 28);
    if (key == QLatin1String("easy"))
        return drawn(QStringLiteral("\u2261"), dark, 32);
    if (key == QLatin1String("full"))
        return style->standardIcon(QStyle::SP_TitleBarMaxButton);
    if (key == QLatin1String("deleteattributes"))
        return drawn(QStringLiteral("::"), red, 28);
    if (key == QLatin1String("message"))
        return style->standardIcon(QStyle::SP_MessageBoxInformation);
    if (key == QLatin1String("email"))
        return drawn(QStringLiteral("@"), dark, 28);
    return QIcon();
}

// Names of the desktop's icon theme (freedesktop naming) for each button.
const std::pair<const char *, const char *> kThemeNames[] = {
    {"refresh", "view-refresh"},  {"save", "document-save"},        {"print", "document-print"},
    {"new", "document-new"},      {"delete", "edit-delete"},        {"openlang", "document-open"},
    {"view", "document-preview"}, {"seek", "edit-find"},            {"plus", "list-add"},
    {"minus", "list-remove"},     {"up", "go-up"},                  {"down", "go-down"},
    {"font", "format-text-bold"}, {"easy", "format-justify-left"},  {"full", "view-fullscreen"},
    {"deleteattributes", "edit-clear"}, {"message", "dialog-information"}, {"email", "mail-send"}};

} // namespace

namespace ToolbarIcons {

QIcon icon(const QString &key, const QStyle *style, const QPalette &palette)
{
    const QIcon fallback = drawnIcon(key, style, palette);
    for (const auto &[button, name] : kThemeNames)
        if (key == QLatin1String(button))
            return QIcon::fromTheme(QLatin1String(name), fallback);
    return fallback;
}

} // namespace ToolbarIcons
