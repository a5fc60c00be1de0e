#pragma once

#include "platform/progressdialogs.h"

#include <QList>

#include <memory>

// Records the shares an operation reports and cancels once a chosen share is reached.
class ScriptedProgressDialogs final : public ProgressDialogs
{
public:
    struct Record
    {
        QString label;
        QList<double> shares;
        bool finished = false;
    };

    [[nodiscard]] std::unique_ptr<Progress> start(QWidget *parent, const QString &label) override;

    double cancelAtShare = 2.0; // above 1: never cancel
    QList<std::shared_ptr<Record>> started;
};
