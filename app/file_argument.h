#pragma once

#include <QString>
#include <QStringList>

// The file the desktop program is started with, from its arguments as
// QCoreApplication::arguments() lists them (the program first, Qt's own
// options already taken out): the first argument that does not begin with
// "-", or the argument after "--", whatever it looks like. Options ("-LOG"
// among them) are passed over here. Made absolute against the current
// folder; empty when no file is named.
QString FileArgument(const QStringList& arguments);
