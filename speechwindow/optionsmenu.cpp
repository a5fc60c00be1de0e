#include "speechwindow/optionsmenu.h"

#include "engine/helperspeechengine.h"
#include "engine/spvoice.h"
#include "listening/pronunciationlist.h"
#include "listening/pronunciationrules.h"
#include "listening/voicesettings.h"
#include "speechwindow/pronunciationsdialog.h"
#include "speechwindow/voicesdialog.h"
#include "speechwindow/voicesettingsdialog.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

namespace {

constexpr int SpeedStep = 10;

} // namespace

OptionsMenu::OptionsMenu(QMainWindow &window, const PlatformServices &services,
                         std::function<SpVoice *()> readingVoice)
    : QObject(&window), m_window(window), m_services(services), m_readingVoice(std::move(readingVoice)),
      m_adjustment(VoiceSettings::load()), m_pronunciations(PronunciationList::load())
{
    m_menu = window.menuBar()->addMenu(QStringLiteral("&Options"));
    voiceSettings = m_menu->addAction(QStringLiteral("&Voice settings..."));
    pronunciations = m_menu->addAction(QStringLiteral("&Pronunciations..."));
    voices = m_menu->addAction(QStringLiteral("V&oices..."));
    m_menu->addSeparator();
    faster = m_menu->addAction(QStringLiteral("&Faster"));
    faster->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)});
    slower = m_menu->addAction(QStringLiteral("&Slower"));
    slower->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Minus));
    connect(voiceSettings, &QAction::triggered, this, &OptionsMenu::voiceSettings_Click);
    connect(pronunciations, &QAction::triggered, this, &OptionsMenu::pronunciations_Click);
    connect(voices, &QAction::triggered, this, &OptionsMenu::voices_Click);
    connect(faster, &QAction::triggered, this, [this] { changeSpeed(SpeedStep); });
    connect(slower, &QAction::triggered, this, [this] { changeSpeed(-SpeedStep); });
}

OptionsMenu::~OptionsMenu() = default;

VoiceSettingsDialog *OptionsMenu::voiceSettingsDialog() const
{
    return m_voiceSettingsDialog;
}

PronunciationsDialog *OptionsMenu::pronunciationsDialog() const
{
    return m_pronunciationsDialog;
}

VoicesDialog *OptionsMenu::voicesDialog() const
{
    return m_voicesDialog;
}

void OptionsMenu::voiceSettings_Click()
{
    if (m_voiceSettingsDialog) {
        m_voiceSettingsDialog->activateWindow();
        return;
    }
    m_voiceSettingsDialog = new VoiceSettingsDialog(m_adjustment, &m_window);
    m_voiceSettingsDialog->setAttribute(Qt::WA_DeleteOnClose);
    if (!m_chosenVoice.isNull() && !m_chosenVoice.canChangePitch())
        m_voiceSettingsDialog->notePitchFixedFor(m_chosenVoice.GetDescription());
    connect(m_voiceSettingsDialog, &QDialog::accepted, this,
            [this, dialog = m_voiceSettingsDialog] { setAdjustment(dialog->adjustment()); });
    m_voiceSettingsDialog->open();
}

void OptionsMenu::pronunciations_Click()
{
    if (m_pronunciationsDialog) {
        m_pronunciationsDialog->activateWindow();
        return;
    }
    m_pronunciationsDialog = new PronunciationsDialog(m_pronunciations, m_services, &m_window);
    m_pronunciationsDialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(m_pronunciationsDialog, &QDialog::accepted, this,
            [this, dialog = m_pronunciationsDialog] { setPronunciationList(dialog->entries()); });
    m_pronunciationsDialog->open();
}

void OptionsMenu::voices_Click()
{
    if (m_voicesDialog) {
        m_voicesDialog->activateWindow();
        return;
    }
    m_voicesDialog = new VoicesDialog(m_services, HelperSpeechEngine::defaultHelperPath(), &m_window);
    m_voicesDialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(m_voicesDialog, &VoicesDialog::voicesChanged, this, &OptionsMenu::voicesChanged);
    m_voicesDialog->open();
}

void OptionsMenu::changeSpeed(int percentPoints)
{
    VoiceAdjustment changed = m_adjustment;
    changed.speedPercent += percentPoints;
    setAdjustment(changed.clamped());
}

void OptionsMenu::setAdjustment(const VoiceAdjustment &adjustment)
{
    if (adjustment == m_adjustment)
        return;
    m_adjustment = adjustment;
    VoiceSettings::save(m_adjustment);
    if (SpVoice *voice = m_readingVoice())
        voice->setAdjustment(m_adjustment);
}

void OptionsMenu::setPronunciationList(const QList<Pronunciation> &entries)
{
    if (entries == m_pronunciations)
        return;
    m_pronunciations = entries;
    PronunciationList::save(m_pronunciations);
}

SpokenText OptionsMenu::prepare(SpVoice &voice, const QString &written) const
{
    voice.setAdjustment(m_adjustment);
    if (m_pronunciations.isEmpty())
        return SpokenText(written);
    return PronunciationRules(m_pronunciations, voice.Voice().languages()).apply(written);
}
