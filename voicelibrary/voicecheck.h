#pragma once

#include <QObject>
#include <QString>

#include <memory>

class QProcess;

// Whether a natural voice can be used: its configuration is read here, and the speech helper opens
// its model (a second or more for a large one) in a process of its own. Reports by a signal.
class VoiceCheck final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(VoiceCheck)

public:
    explicit VoiceCheck(QString helperPath, QObject *parent = nullptr);
    ~VoiceCheck() override;

    // modelPath: NAME.onnx, with NAME.onnx.json beside it.
    void start(const QString &modelPath);
    // Nothing is reported for a check cancelled.
    void cancel();

Q_SIGNALS:
    // problem: why the voice cannot be used, empty when it can.
    void finished(const QString &problem);

private:
    struct ProcessEnd
    {
        void operator()(QProcess *process) const;
    };
    void helperFinished();

    QString m_helperPath;
    std::unique_ptr<QProcess, ProcessEnd> m_helper;
    int m_run = 0; // counts the checks started and cancelled, so a late report of one is dropped
};
