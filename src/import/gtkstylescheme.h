#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

#include <optional>

// A GtkSourceView style scheme (styles/*.xml): the look of each style name ("def:comment",
// "c:preprocessor"), with the scheme's named colours and use-style references resolved.
class GtkStyleScheme {
public:
    struct Style {
        std::optional<qint32> foreground; // 0x00BBGGRR
        std::optional<qint32> background;
        bool bold = false, italic = false, underline = false;
    };

    // Finds the scheme `name` (its id or file name) in `folders`, or reads `name` when it is the path of
    // an .xml file; false with the reason when absent.
    bool load(const QString &name, const QStringList &folders, QString &problem);
    bool read(const QByteArray &bytes, const QString &fileName, QString &problem);

    // The style of that name in this scheme, if it names one.
    std::optional<Style> style(const QString &name) const;
    // The look of plain text (the "text" style), black on white when the scheme gives none.
    Style text() const;

    // The standard folders of style schemes.
    static QStringList standardFolders();

private:
    struct Entry {
        Style style;
        QString useStyle;
    };
    QHash<QString, Entry> styles_;
};
