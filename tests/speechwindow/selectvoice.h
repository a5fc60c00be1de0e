#pragma once

#include "speechwindow/formwav.h"

#include <QListWidget>
#include <QTest>

// Picks a voice in the speech window's list, as a click on it would.
inline void selectVoice(FormWav &window, const QString &description)
{
    const QList<QListWidgetItem *> found = window.List2->findItems(description, Qt::MatchExactly);
    QVERIFY2(found.size() == 1, qPrintable(description));
    window.List2->setCurrentItem(found.first());
}
