#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// Where natural voices live: the user's own folder first, where the voice manager adds them, then
// the system's.
namespace NaturalVoiceFolders {

// $XDG_DATA_HOME/parlora/voices, by default ~/.local/share/parlora/voices.
[[nodiscard]] QString userFolder();
[[nodiscard]] QStringList all();

// An installed voice's two files.
struct InstalledVoice
{
    QString modelPath;  // NAME.onnx
    QString configPath; // NAME.onnx.json
    QString folder;
};
// Every voice whose model has its configuration beside it; a name in the user's folder hides the
// same name in the system's.
[[nodiscard]] QList<InstalledVoice> installedVoices();

} // namespace NaturalVoiceFolders
