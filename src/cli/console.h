#pragma once

#include <QString>

#include <cstdio>

namespace zanfold {

// What differs between the systems' consoles.

// The stream goes to a terminal (where a progress bar can be redrawn in place).
bool isTerminal(std::FILE* stream);

// Writes the text as the console shows it: UTF-8 to a file or pipe, the console's own characters to a
// console window, so Chinese names read the same everywhere.
void writeText(std::FILE* stream, const QString& text);

// Calls `handler` when the user interrupts: Ctrl+C, Ctrl+Break, SIGTERM or the console window closing.
// The handler only sets a flag; a second interruption takes the system's default course.
void onInterrupt(void (*handler)());

} // namespace zanfold
