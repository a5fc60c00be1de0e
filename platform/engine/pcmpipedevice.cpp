#include "platform/engine/pcmpipedevice.h"

#include "platform/engine/speechhelperprocess.h"

PcmPipeDevice::PcmPipeDevice(SpeechHelperProcess &helper, QObject *parent)
    : QIODevice(parent), m_helper(helper)
{}

qint64 PcmPipeDevice::readData(char *data, qint64 maxSize)
{
    if (m_ended || maxSize < 2)
        return 0;
    qint64 filled = 0;
    if (m_hasCarry) {
        data[0] = m_carry;
        m_hasCarry = false;
        filled = 1;
    }
    const qint64 count = m_helper.readAvailableAudio(data + filled, maxSize - filled);
    if (count < 0) {
        m_ended = true;
        Q_EMIT ended();
    } else
        filled += count;
    if (filled % 2 != 0) {
        m_carry = data[filled - 1];
        m_hasCarry = true;
        --filled;
    }
    if (filled > 0 && m_delivered == 0)
        Q_EMIT firstAudioDelivered();
    m_delivered += filled;
    // Reporting the end as an empty read keeps the output alive until its buffer has played.
    return filled;
}

qint64 PcmPipeDevice::writeData(const char *data, qint64 maxSize)
{
    Q_UNUSED(data)
    Q_UNUSED(maxSize)
    return -1;
}
