#pragma once

#include <QString>

// The text that loading a file appends: for each line in order, one space and then the line.
// A line ends at CR LF, CR or LF; the end marker is dropped, nothing else is. An empty text
// gives nothing, and a final end marker gives no extra empty line.
// Taken by value and worked on in place, so a caller that moves its text in pays for no
// second buffer; one character of spare capacity spares the one reallocation too.
[[nodiscard]] QString appendedLines(QString text);
