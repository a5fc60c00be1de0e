#pragma once

#include <QString>
#include <QStringList>

// Makes a small natural voice with make-natural-voice.py: FOLDER/en_US-NAME-x_low.onnx and its
// .onnx.json, a few kilobytes that the speech helper accepts unless options say otherwise
// ("--no-scales", "--phoneme-type", "text"). Returns the model's path, or nothing on failure.
[[nodiscard]] QString makeNaturalVoice(const QString &folder, const QString &name,
                                       const QStringList &options = {});
