#pragma once

// One downloaded message (voice or text) with its header data and read flag. Texts are bytes of
// the 8-bit code page, exactly as received; getters return copies.

#include <cstdint>
#include <string>

class CStoredMessage {
public:
    CStoredMessage(char ordinal, std::string date, std::string time, int32_t read, std::string text, int32_t type,
        std::string voiceFile, std::string callerId, std::string callerIdName, std::string senderVanduID,
        std::string firstName, std::string lastName);
    virtual ~CStoredMessage() = default;

    char Ordinal() const { return m_ordinal; }
    int32_t Type() const { return m_type; }
    std::string Date() const { return m_date; }
    std::string Time() const { return m_time; }
    std::string Text() const { return m_text; }
    std::string VoiceFile() const { return m_voiceFile; }
    std::string CallerId() const { return m_callerId; }
    std::string CallerIdName() const { return m_callerIdName; }
    std::string SenderVanduID() const { return m_senderVanduID; }
    std::string FirstName() const { return m_firstName; }
    std::string LastName() const { return m_lastName; }
    int32_t Read() const { return m_read; }
    void SetRead(int32_t read) { m_read = read; }

    // Any type other than 1 is a text message everywhere but in the file reader.
    bool IsVoice() const { return m_type == 1; }
    bool IsType2() const { return m_type == 2; }
    bool IsType3() const { return m_type == 3; }

private:
    char m_ordinal;
    int32_t m_type;
    std::string m_date;
    std::string m_time;
    std::string m_text;
    std::string m_voiceFile;
    std::string m_callerId;
    std::string m_callerIdName;
    std::string m_senderVanduID;
    std::string m_firstName;
    std::string m_lastName;
    int32_t m_read;
};
