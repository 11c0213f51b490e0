#include "import/conversionreport.h"

namespace {

const char *kindName(ConversionReport::Kind kind)
{
    switch (kind) {
    case ConversionReport::Kind::Approximated: return "approximated";
    case ConversionReport::Kind::Merged: return "merged";
    case ConversionReport::Kind::Dropped: return "dropped";
    }
    return "";
}

} // namespace

void ConversionReport::add(Kind kind, const QString &where, const QString &what)
{
    for (const Line &line : lines_) {
        if (line.kind == kind && line.where == where && line.what == what)
            return;
    }
    lines_.push_back({kind, where, what});
}

int ConversionReport::count(Kind kind) const
{
    int n = 0;
    for (const Line &line : lines_)
        n += line.kind == kind;
    return n;
}

QStringList ConversionReport::text() const
{
    QStringList out;
    for (const Line &line : lines_)
        out += QStringLiteral("%1: %2: %3").arg(line.where, QLatin1String(kindName(line.kind)), line.what);
    return out;
}

QString ConversionReport::summary(const QString &languageName, int tokensets) const
{
    return QStringLiteral("%1: %2 tokensets; %3 approximated, %4 merged, %5 dropped")
        .arg(languageName)
        .arg(tokensets)
        .arg(count(Kind::Approximated))
        .arg(count(Kind::Merged))
        .arg(count(Kind::Dropped));
}
