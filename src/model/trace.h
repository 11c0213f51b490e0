#pragma once

#include <QString>

#include <functional>

// Trace entries: about thirty procedures record their label when they start. The lower layers only
// call entry(); the main window installs the sink that writes to its status pane and trace window.
namespace Trace {

using Sink = std::function<void(const QString &statusLabel, const QString &debugLabel)>;

// Installs the sink (an empty function removes it) and returns the previous one.
Sink setSink(Sink sink);

void entry(const QString &label);
void entry(const QString &statusLabel, const QString &debugLabel);

} // namespace Trace
