#include "model/trace.h"

#include <QThread>

#include <utility>

namespace {

Trace::Sink &sink()
{
    static Trace::Sink s;
    return s;
}

// The thread that installed the sink: only entries made on it reach the sink, which writes to
// widgets; work done on another thread (the window's lint) is not traced.
QThread *&sinkThread()
{
    static QThread *t = nullptr;
    return t;
}

} // namespace

namespace Trace {

Sink setSink(Sink s)
{
    sinkThread() = QThread::currentThread();
    return std::exchange(sink(), std::move(s));
}

void entry(const QString &label)
{
    entry(label, label);
}

void entry(const QString &statusLabel, const QString &debugLabel)
{
    if (sink() && QThread::currentThread() == sinkThread())
        sink()(statusLabel, debugLabel);
}

} // namespace Trace
