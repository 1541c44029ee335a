#include "agent/store/StoredMessage.h"

#include <utility>

CStoredMessage::CStoredMessage(char ordinal, std::string date, std::string time, int32_t read, std::string text,
    int32_t type, std::string voiceFile, std::string callerId, std::string callerIdName, std::string senderVanduID,
    std::string firstName, std::string lastName)
    : m_ordinal(ordinal)
    , m_type(type)
    , m_date(std::move(date))
    , m_time(std::move(time))
    , m_text(std::move(text))
    , m_voiceFile(std::move(voiceFile))
    , m_callerId(std::move(callerId))
    , m_callerIdName(std::move(callerIdName))
    , m_senderVanduID(std::move(senderVanduID))
    , m_firstName(std::move(firstName))
    , m_lastName(std::move(lastName))
    , m_read(read)
{
}
