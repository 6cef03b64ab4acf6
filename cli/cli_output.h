#pragma once

#include <QString>

// Results go to standard output, everything else to standard error.
void PrintResult(const QString& text);
void PrintError(const QString& text);
// The message the desktop program shows for a result code.
void PrintResultError(const QString& subject, int code);
