#include "feed/publishingdetails.h"

#include "feed/applecategories.h"

#include <QRegularExpression>
#include <QUrl>

namespace {

[[nodiscard]] bool isWebAddress(const QString &text, bool httpsOnly)
{
    const QUrl url(text, QUrl::StrictMode);
    const bool schemeFits = url.scheme() == u"https" || (!httpsOnly && url.scheme() == u"http");
    return url.isValid() && schemeFits && !url.host().isEmpty() && text == text.trimmed();
}

[[nodiscard]] bool isArtworkAddress(const QString &text)
{
    const QString path = QUrl(text).path().toLower();
    return isWebAddress(text, true) &&
           (path.endsWith(u".jpg") || path.endsWith(u".jpeg") || path.endsWith(u".png"));
}

[[nodiscard]] bool isEmailAddress(const QString &text)
{
    static const QRegularExpression form(QStringLiteral("^[^@\\s<>]+@[^@\\s<>]+\\.[^@\\s<>.]+$"));
    return form.match(text).hasMatch();
}

} // namespace

QString languageTagOf(const QLocale &locale)
{
    if (locale.language() == QLocale::C)
        return QStringLiteral("en");
    QString tag = QLocale::languageToCode(locale.language(), QLocale::ISO639Part1);
    if (tag.isEmpty())
        tag = QLocale::languageToCode(locale.language());
    if (locale.territory() != QLocale::AnyTerritory)
        tag += u'-' + QLocale::territoryToCode(locale.territory());
    return tag;
}

bool isIso639LanguageTag(const QString &tag)
{
    const QStringList parts = tag.split(u'-');
    if (parts.size() > 2)
        return false;
    const QString language = parts.first().toLower();
    const bool languageKnown =
        (language.size() == 2 &&
         QLocale::codeToLanguage(language, QLocale::ISO639Part1) != QLocale::AnyLanguage) ||
        (language.size() == 3 &&
         QLocale::codeToLanguage(language, QLocale::ISO639Part2 | QLocale::ISO639Part3) !=
             QLocale::AnyLanguage);
    if (!languageKnown)
        return false;
    return parts.size() == 1 || (parts.at(1).size() == 2 &&
                                 QLocale::codeToTerritory(parts.at(1).toUpper()) != QLocale::AnyTerritory);
}

QString publishingDetailsProblem(const PublishingDetails &details, const PublishingDetails &before)
{
    const bool keptCategory = !details.category.isEmpty() && details.category == before.category &&
                              details.subcategory == before.subcategory;
    if (!isIso639LanguageTag(details.language))
        return QStringLiteral("The language \"%1\" is not an ISO 639 language code such as en, de or pt-BR.")
            .arg(details.language);
    if (!isArtworkAddress(details.artworkUrl))
        return QStringLiteral("The artwork address must be an https address of a JPEG or PNG image "
                              "(ending in .jpg, .jpeg or .png).");
    if (!keptCategory && !appleCategories().contains(details.category))
        return QStringLiteral("Please choose a category.");
    if (!keptCategory && !details.subcategory.isEmpty() &&
        !appleCategories().value(details.category).contains(details.subcategory))
        return QStringLiteral("\"%1\" is not a subcategory of \"%2\".")
            .arg(details.subcategory, details.category);
    if (details.ownerName.trimmed().isEmpty())
        return QStringLiteral("Please enter the owner's name.");
    if (!isEmailAddress(details.ownerEmail))
        return QStringLiteral("The owner email \"%1\" is not an email address.").arg(details.ownerEmail);
    if (!isWebAddress(details.feedUrl, false))
        return QStringLiteral("The feed's own address must be the http or https address where the feed "
                              "is published.");
    return {};
}
