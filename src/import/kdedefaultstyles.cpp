#include "import/kdedefaultstyles.h"

#include <QHash>

namespace KdeDefaultStyles {

namespace {

constexpr qint32 rgb(int r, int g, int b) { return qint32(r | (g << 8) | (b << 16)); }

const QHash<QString, Style> &table()
{
    // Readable on white, and each kind of thing apart from its neighbours.
    static const QHash<QString, Style> styles{
        {QStringLiteral("dsNormal"), {QStringLiteral("text"), rgb(0x00, 0x00, 0x00)}},
        {QStringLiteral("dsKeyword"), {QStringLiteral("keywords"), rgb(0x00, 0x20, 0x90), true}},
        {QStringLiteral("dsControlFlow"), {QStringLiteral("keywords"), rgb(0x00, 0x20, 0x90), true}},
        {QStringLiteral("dsBuiltIn"), {QStringLiteral("keywords"), rgb(0x50, 0x20, 0x90), true}},
        {QStringLiteral("dsExtension"), {QStringLiteral("keywords"), rgb(0x00, 0x70, 0xc0), true}},
        {QStringLiteral("dsDataType"), {QStringLiteral("keywords"), rgb(0x10, 0x60, 0x80)}},
        {QStringLiteral("dsImport"), {QStringLiteral("keywords"), rgb(0x80, 0x50, 0x00)}},
        {QStringLiteral("dsPreprocessor"), {QStringLiteral("keywords"), rgb(0x30, 0x70, 0x20)}},
        {QStringLiteral("dsFunction"), {QStringLiteral("identifiers"), rgb(0x60, 0x30, 0x70)}},
        {QStringLiteral("dsVariable"), {QStringLiteral("variables"), rgb(0x20, 0x50, 0x70)}},
        {QStringLiteral("dsOperator"), {QStringLiteral("operators"), rgb(0x40, 0x40, 0x40)}},
        {QStringLiteral("dsAttribute"), {QStringLiteral("tagattributenames"), rgb(0x30, 0x50, 0xa0)}},
        {QStringLiteral("dsChar"), {QStringLiteral("charliterals"), rgb(0x90, 0x30, 0x60)}},
        {QStringLiteral("dsSpecialChar"), {QStringLiteral("escapeseqs"), rgb(0x20, 0x90, 0xb0)}},
        {QStringLiteral("dsString"), {QStringLiteral("strings"), rgb(0xb0, 0x10, 0x10)}},
        {QStringLiteral("dsVerbatimString"), {QStringLiteral("strings"), rgb(0xa0, 0x30, 0x30)}},
        {QStringLiteral("dsSpecialString"), {QStringLiteral("strings"), rgb(0xc0, 0x50, 0x10)}},
        {QStringLiteral("dsDecVal"), {QStringLiteral("numbers"), rgb(0x90, 0x60, 0x00)}},
        {QStringLiteral("dsBaseN"), {QStringLiteral("numbers"), rgb(0x90, 0x60, 0x00)}},
        {QStringLiteral("dsFloat"), {QStringLiteral("numbers"), rgb(0x90, 0x60, 0x00)}},
        {QStringLiteral("dsConstant"), {QStringLiteral("valuenames"), rgb(0x80, 0x40, 0x10)}},
        {QStringLiteral("dsComment"), {QStringLiteral("linecomments"), rgb(0x70, 0x70, 0x70), false, true}},
        {QStringLiteral("dsDocumentation"), {QStringLiteral("blockcomments"), rgb(0x50, 0x70, 0x70)}},
        {QStringLiteral("dsAnnotation"), {QStringLiteral("linecomments"), rgb(0x90, 0x50, 0x90)}},
        {QStringLiteral("dsCommentVar"), {QStringLiteral("linecomments"), rgb(0x30, 0x60, 0x90)}},
        {QStringLiteral("dsRegionMarker"), {QStringLiteral("linecomments"), rgb(0x30, 0x70, 0xa0)}},
        {QStringLiteral("dsInformation"), {QStringLiteral("linecomments"), rgb(0x90, 0x70, 0x10)}},
        {QStringLiteral("dsWarning"), {QStringLiteral("linecomments"), rgb(0xc0, 0x20, 0x20)}},
        {QStringLiteral("dsAlert"), {QStringLiteral("linecomments"), rgb(0xc0, 0x00, 0x40), true}},
        {QStringLiteral("dsOthers"), {QStringLiteral("identifiers"), rgb(0x20, 0x70, 0x40)}},
        {QStringLiteral("dsError"), {QStringLiteral("identifiers"), rgb(0xd0, 0x00, 0x00), false, false, true}},
    };
    return styles;
}

} // namespace

Style style(const QString &defStyle)
{
    return table().value(defStyle, table().value(QStringLiteral("dsNormal")));
}

bool known(const QString &defStyle)
{
    return table().contains(defStyle);
}

} // namespace KdeDefaultStyles
