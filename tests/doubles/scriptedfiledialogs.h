#pragma once

#include "filedialogs.h"

#include <QList>

#include <deque>

// Answers dialogs from a queue of scripted choices (nullopt = the user cancels) and records
// what each dialog was asked to show.
class ScriptedFileDialogs final : public FileDialogs
{
public:
    struct Request
    {
        bool save = false;
        QString filter;
        QString fileName;
        int filterIndex = 0;
    };

    std::optional<FileDialogChoice> getOpenFileName(QWidget *parent, const QString &filter,
                                                    const QString &fileName, int filterIndex) override;
    std::optional<FileDialogChoice> getSaveFileName(QWidget *parent, const QString &filter,
                                                    const QString &fileName, int filterIndex) override;

    void answer(const QString &fileName, int filterIndex = 0);
    void cancel();

    struct Answer
    {
        bool cancelled = false;
        FileDialogChoice choice;
    };
    std::deque<Answer> answers;
    QList<Request> requests;

private:
    std::optional<FileDialogChoice> next(Request request);
};
