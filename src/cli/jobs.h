#pragma once

#include <QStringList>

namespace zanfold {

// The sub-commands of zanfold-cli; each returns the process exit status.
int runCli(const QStringList& arguments);

} // namespace zanfold
