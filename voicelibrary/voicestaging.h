#pragma once

#include <QString>
#include <QTemporaryDir>

// A voice's files written into a hidden folder inside the voices folder, then moved in with one
// rename each: a voice is never seen half-written, and one of the same name stays as it was until
// the new one is complete. Whatever is still staged goes with the object.
class VoiceStaging final
{
public:
    explicit VoiceStaging(const QString &voicesFolder);
    VoiceStaging(const VoiceStaging &) = delete;
    VoiceStaging &operator=(const VoiceStaging &) = delete;

    // Why nothing can be staged, empty when all is well.
    [[nodiscard]] QString problem() const;
    // Where a staged file is written.
    [[nodiscard]] QString path(const QString &fileName) const;
    // Moves NAME.onnx.json, then NAME.onnx, into the voices folder, replacing a voice of the same
    // name; returns why it failed, or nothing. modelFileName: NAME.onnx.
    [[nodiscard]] QString install(const QString &modelFileName);
    // Where the model lies once installed.
    [[nodiscard]] QString installedPath(const QString &modelFileName) const;

private:
    QString m_voicesFolder;
    bool m_folderMade = false;
    QTemporaryDir m_staging;
};
