#include "mainwindow/accessiblenames.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QRegularExpression>
#include <QWidget>

namespace {

QString plainText(const QLabel *label)
{
    QString text = label->text();
    text.remove(QRegularExpression(QStringLiteral("&(?!&)")));
    return text.simplified();
}

template <typename T = QWidget>
T *child(QWidget *window, const QString &name)
{
    return window->findChild<T *>(name);
}

void name(QWidget *window, const char *control, const QString &text)
{
    if (QWidget *w = child(window, QString::fromLatin1(control)))
        w->setAccessibleName(text);
}

} // namespace

void AccessibleNames::apply(QWidget *window)
{
    // A label's buddy reads the label (Qt does so for line edits only, not for lists or colours).
    for (QLabel *label : window->findChildren<QLabel *>())
        if (QWidget *buddy = label->buddy(); buddy && buddy->accessibleName().isEmpty())
            buddy->setAccessibleName(plainText(label));

    // Controls in a row under one label are told apart by their place; a swatch says its colour in
    // its description (ColorLabel keeps that current).
    const QLabel *scopes = child<QLabel>(window, QStringLiteral("lblValidScopes"));
    const QLabel *swatches = child<QLabel>(window, QStringLiteral("lblStandardColors"));
    const QString swatchKeys = QCoreApplication::translate(
        "AccessibleNames", "Space or Enter: text colour; Shift+Space or Shift+Enter: background colour");
    for (int i = 0; i < 10; ++i) {
        const QString number = QStringLiteral(" %1").arg(i + 1);
        if (QWidget *scope = child(window, QStringLiteral("cmbValidScopes_%1").arg(i)); scope && scopes)
            scope->setAccessibleName(plainText(scopes) + number);
        if (QWidget *swatch = child(window, QStringLiteral("lblcolor_%1").arg(i)); swatch && swatches) {
            swatch->setAccessibleName(plainText(swatches) + number);
            swatch->setWhatsThis(swatchKeys);
        }
    }

    // Controls whose label is a clickable caption of its own.
    const std::pair<const char *, const char *> captioned[] = {
        {"txtTokens", "lblTokens"}, {"txtTokens2", "lbltokens2"}, {"lstTokenset", "lblTokensets"},
        {"txtXML", "lblXML"},       {"txtSample", "lblSample"},   {"txtStatus", "lblStatus"}};
    for (const auto &[control, caption] : captioned)
        if (const QLabel *label = child<QLabel>(window, QString::fromLatin1(caption)))
            name(window, control, plainText(label));

    name(window, "lstLang", QCoreApplication::translate("AccessibleNames", "Languages"));
    name(window, "cmbID", QCoreApplication::translate("AccessibleNames", "Tokenset ID"));
    name(window, "txtLead", QCoreApplication::translate("AccessibleNames", "LeadWith Text"));
    name(window, "txtTrail", QCoreApplication::translate("AccessibleNames", "TrailWith Text"));
    name(window, "lblRedFlag", QCoreApplication::translate("AccessibleNames", "Validity"));

    // On Linux Qt gives a list box its current item as name and leaves the label to a relation,
    // which not every screen reader follows: the description says the name too.
    for (QComboBox *box : window->findChildren<QComboBox *>())
        if (box->accessibleDescription().isEmpty())
            box->setAccessibleDescription(box->accessibleName());
}
