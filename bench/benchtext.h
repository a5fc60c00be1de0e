#pragma once

#include <QList>
#include <QString>

// English-looking prose of the given number of words, in sentences.
[[nodiscard]] QString benchmarkText(int words);
// The same, also written to a UTF-8 file for the engines' own commands; false when it cannot be.
[[nodiscard]] bool writeBenchmarkText(int words, const QString &path, QString &text);

// Peak resident memory of a process in MiB, from /proc (VmHWM); 0 when it is gone.
[[nodiscard]] double peakResidentMiB(qint64 pid);
[[nodiscard]] double currentResidentMiB(qint64 pid);
// Its share of the memory it shares with other processes counted once (Pss): sums over a tree
// of forked processes count the engine's pages once, not once a process.
[[nodiscard]] double currentProportionalMiB(qint64 pid);
// This process and everything below it: the helpers and the children speaking passages.
[[nodiscard]] QList<qint64> processTree(qint64 root);
