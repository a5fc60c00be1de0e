#pragma once

#include "platform/filedialogs.h"

#include <QList>

#include <deque>

// Answers dialogs from a queue of scripted choices and records what each dialog showed.
// An unscripted dialog is cancelled.
class ScriptedFileDialogs final : public FileDialogs
{
public:
    struct Shown
    {
        bool save = false;
        CommonDialog dialog; // as the window set it up before showing
    };

    bool ShowOpen(QWidget *parent, CommonDialog &dialog) override;
    bool ShowSave(QWidget *parent, CommonDialog &dialog) override;

    void answer(const QString &fileName, int filterIndex = 0);
    void cancel();

    QList<Shown> shown;

private:
    struct Answer
    {
        bool cancelled = false;
        QString fileName;
        int filterIndex = 0;
    };
    bool next(bool save, CommonDialog &dialog);

    std::deque<Answer> m_answers;
};
