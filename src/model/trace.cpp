#include "model/trace.h"

#include <utility>

namespace {

Trace::Sink &sink()
{
    static Trace::Sink s;
    return s;
}

} // namespace

namespace Trace {

Sink setSink(Sink s)
{
    return std::exchange(sink(), std::move(s));
}

void entry(const QString &label)
{
    entry(label, label);
}

void entry(const QString &statusLabel, const QString &debugLabel)
{
    if (sink())
        sink()(statusLabel, debugLabel);
}

} // namespace Trace
