#pragma once

#include <QString>

// "servers trust URL": connects to the server, shows its identity and, once
// the user agrees on a terminal or with yes, records it as trusted.
// Returns 0 when it was recorded, 1 when not, 22 when the server showed
// none, 2 for a URL that names no TLS or SSH server.
int TrustServerAction(const QString& url, bool yes);
