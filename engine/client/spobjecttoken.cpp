#include "engine/client/spobjecttoken.h"

#include "engine/protocol/helperprotocol.h"

SpObjectToken::SpObjectToken(QString engine, QString id, QString description, QStringList languages,
                             int naturalness)
    : m_engine(std::move(engine)), m_id(std::move(id)), m_description(std::move(description)),
      m_languages(std::move(languages)), m_naturalness(naturalness)
{}

QString SpObjectToken::attribute(const QString &name) const
{
    if (name.compare(u"Name", Qt::CaseInsensitive) == 0)
        return m_description;
    if (name.compare(u"Language", Qt::CaseInsensitive) == 0)
        return m_languages.value(0);
    if (name.compare(u"Vendor", Qt::CaseInsensitive) == 0)
        return m_engine;
    return {};
}

bool SpObjectToken::canChangePitch() const
{
    return m_engine != QLatin1String(HelperProtocol::NaturalEngine);
}

bool SpObjectToken::analysesWholeSentences() const
{
    return m_engine == QLatin1String(HelperProtocol::FliteEngine) ||
           m_engine == QLatin1String(HelperProtocol::NaturalEngine);
}

bool SpObjectToken::loadsSlowly() const
{
    return m_engine == QLatin1String(HelperProtocol::NaturalEngine);
}
