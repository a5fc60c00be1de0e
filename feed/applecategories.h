#pragma once

#include <QMap>
#include <QString>
#include <QStringList>

// The podcast categories Apple Podcasts accepts, each with its subcategories, in alphabetical order.
[[nodiscard]] const QMap<QString, QStringList> &appleCategories();
