#include "app/speechwindowenclosure.h"

#include "speechwindow/formwav.h"

#include <QLineEdit>

std::optional<Enclosure> SpeechWindowEnclosure::enclosure() const
{
    if (!m_speechWindow)
        return std::nullopt;
    return Enclosure{m_speechWindow->Text14->text(), m_speechWindow->Text3->text(),
                     m_speechWindow->Text4->text(), m_speechWindow->savedSoundDurationSeconds(), QString(), QString(), QString()};
}
