#pragma once

#include <QString>

// English-looking prose of the given number of words, in sentences.
[[nodiscard]] QString benchmarkText(int words);

// Peak resident memory of a process in MiB, from /proc (VmHWM); 0 when it is gone.
[[nodiscard]] double peakResidentMiB(qint64 pid);
[[nodiscard]] double currentResidentMiB(qint64 pid);
