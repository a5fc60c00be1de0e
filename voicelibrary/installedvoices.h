#pragma once

#include "engine/naturalvoices/naturalvoicefolders.h"

#include <QList>
#include <QString>

// The natural voices installed, as the voice manager shows them, and their removal.

struct InstalledVoiceDetails
{
    NaturalVoiceFolders::InstalledVoice files;
    QString name;     // "joe"
    QString language; // "English (United States)"
    QString quality;
    qint64 modelBytes = 0;
    QString problem; // why the voice cannot be used, from its configuration
};

namespace InstalledVoices {

[[nodiscard]] QList<InstalledVoiceDetails> details();
// "en_US" as "English (United States)"; a code Qt does not know stays as it is.
[[nodiscard]] QString languageName(const QString &code);
// "63.2 MB".
[[nodiscard]] QString sizeText(qint64 bytes);
// Why the voice cannot be removed, empty when it can: only voices in the user's folder can.
[[nodiscard]] QString removalProblem(const NaturalVoiceFolders::InstalledVoice &voice);
// Removes the voice's model, then its configuration; returns why it failed, or nothing.
[[nodiscard]] QString remove(const NaturalVoiceFolders::InstalledVoice &voice);

} // namespace InstalledVoices
