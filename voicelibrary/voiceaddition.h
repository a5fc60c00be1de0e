#pragma once

#include <QObject>
#include <QString>

#include <atomic>
#include <memory>

class QThread;
class VoiceCheck;
class VoiceStaging;

// Adds a voice the user has on disk: checked where it lies, then copied into the voices folder on
// a thread of its own. A voice that cannot be used is refused with the reason, and nothing is
// copied.
class VoiceAddition final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(VoiceAddition)

public:
    VoiceAddition(QString helperPath, QString voicesFolder, QObject *parent = nullptr);
    ~VoiceAddition() override;

    // pickedPath: the voice's NAME.onnx or its NAME.onnx.json; the other must lie beside it.
    void start(const QString &pickedPath);

    // The model a picked file belongs to.
    [[nodiscard]] static QString modelPathFor(const QString &pickedPath);

Q_SIGNALS:
    // modelPath: where the voice's model now lies in the voices folder.
    void added(const QString &modelPath);
    void refused(const QString &reason);

private:
    void checked(const QString &problem);
    void copied();

    QString m_voicesFolder;
    QString m_modelPath;
    VoiceCheck *m_check = nullptr; // a child
    std::unique_ptr<VoiceStaging> m_staging;
    std::unique_ptr<QThread> m_copy;
    std::atomic_bool m_stopCopying = false;
    QString m_copyProblem; // written by the copying thread, read once it has finished
};
