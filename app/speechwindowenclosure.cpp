#include "app/speechwindowenclosure.h"

#include "speechwindow/formwav.h"

#include <QLineEdit>

std::optional<Enclosure> SpeechWindowEnclosure::enclosure() const
{
    if (!m_speechWindow)
        return std::nullopt;
    Enclosure enclosure;
    enclosure.url = m_speechWindow->Text14->text();
    enclosure.length = m_speechWindow->Text3->text();
    enclosure.type = m_speechWindow->Text4->text();
    enclosure.durationSeconds = m_speechWindow->savedSoundDurationSeconds();
    return enclosure;
}
