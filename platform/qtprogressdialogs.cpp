#include "platform/qtprogressdialogs.h"

#include "platform/applicationtitle.h"

#include <QCoreApplication>
#include <QProgressDialog>

namespace {

constexpr int Steps = 1000;

class DialogProgress final : public Progress
{
public:
    DialogProgress(QWidget *parent, const QString &label)
        : m_dialog(label, QStringLiteral("Cancel"), 0, Steps, parent)
    {
        m_dialog.setWindowTitle(applicationTitle());
        m_dialog.setWindowModality(Qt::WindowModal);
        m_dialog.setMinimumDuration(500);
        m_dialog.setAutoClose(false);
        m_dialog.setAutoReset(false);
        m_dialog.setValue(0);
    }

    void setShare(double share) override
    {
        const int value = static_cast<int>(std::clamp(share, 0.0, 1.0) * Steps);
        if (value != m_dialog.value())
            m_dialog.setValue(value); // shows the dialog once the work looks long enough
        // Once shown, keep the windows painted and the Cancel button alive between steps.
        if (m_dialog.isVisible())
            QCoreApplication::processEvents();
    }

    [[nodiscard]] bool wasCanceled() const override { return m_dialog.wasCanceled(); }

private:
    QProgressDialog m_dialog;
};

} // namespace

std::unique_ptr<Progress> QtProgressDialogs::start(QWidget *parent, const QString &label)
{
    return std::make_unique<DialogProgress>(parent, label);
}
