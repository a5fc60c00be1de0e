#include "tests/doubles/scriptedprogress.h"

namespace {

class ScriptedProgress final : public Progress
{
public:
    ScriptedProgress(std::shared_ptr<ScriptedProgressDialogs::Record> record, double cancelAt)
        : m_record(std::move(record)), m_cancelAt(cancelAt)
    {}
    ~ScriptedProgress() override { m_record->finished = true; }
    ScriptedProgress(const ScriptedProgress &) = delete;
    ScriptedProgress &operator=(const ScriptedProgress &) = delete;

    void setShare(double share) override { m_record->shares.append(share); }
    [[nodiscard]] bool wasCanceled() const override
    {
        return !m_record->shares.isEmpty() && m_record->shares.last() >= m_cancelAt;
    }

private:
    std::shared_ptr<ScriptedProgressDialogs::Record> m_record;
    double m_cancelAt;
};

} // namespace

std::unique_ptr<Progress> ScriptedProgressDialogs::start(QWidget *parent, const QString &label)
{
    Q_UNUSED(parent)
    auto record = std::make_shared<Record>();
    record->label = label;
    started.append(record);
    return std::make_unique<ScriptedProgress>(record, cancelAtShare);
}
