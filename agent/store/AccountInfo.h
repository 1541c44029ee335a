#pragma once

// What the service told us about the subscriber's account: the login outcome, the names, the
// toll-free number and the address the service saw, and the outcomes of the ID check and the
// signup. The user-info job writes it from its worker thread while the UI thread may draw the
// title line, so every field is guarded and read as a copy.

#include <cstdint>
#include <mutex>
#include <string>

class CAccountInfo {
public:
    // The service's toll-free number until the first user-info answer replaces it.
    static constexpr const char* kDefaultTollFreeNumber = "1-888-VANDU-42";

    struct Names {
        std::string FirstName;
        std::string LastName;
    };

    int32_t GetLoginOk() const;
    void SetLoginOk(int32_t value);
    int32_t GetIdAvailable() const;
    void SetIdAvailable(int32_t value);
    int32_t GetSignupOk() const;
    void SetSignupOk(int32_t value);
    std::string GetSignupMessage() const;
    void SetSignupMessage(const std::string& value);
    std::string GetIdMessage() const;
    void SetIdMessage(const std::string& value);
    int32_t GetUserType() const;
    void SetUserType(int32_t value);
    std::string GetLastName() const;
    void SetLastName(const std::string& value);
    std::string GetFirstName() const;
    void SetFirstName(const std::string& value);
    std::string GetTollFreeNumber() const;
    void SetTollFreeNumber(const std::string& value);
    std::string GetIPAddress() const;
    void SetIPAddress(const std::string& value);
    std::string GetSignupConfirmation() const;
    void SetSignupConfirmation(const std::string& value);

    // One user-info answer taken over at once, so no reader sees the names of two answers mixed.
    void SetUserInfo(int32_t userType, const std::string& firstName, const std::string& lastName,
        const std::string& tollFreeNumber, const std::string& ipAddress);
    // Both names from one moment, for the title line.
    Names GetNames() const;

private:
    template <typename T> T Get(const T& field) const
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return field;
    }
    template <typename T> void Set(T& field, const T& value)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        field = value;
    }

    mutable std::mutex m_mutex;
    int32_t m_loginOk = 1;
    int32_t m_idAvailable = 0;
    int32_t m_signupOk = 0;
    std::string m_signupMessage;
    std::string m_idMessage;
    int32_t m_userType = 0;
    std::string m_lastName;
    std::string m_firstName;
    std::string m_tollFreeNumber = kDefaultTollFreeNumber;
    std::string m_ipAddress;
    std::string m_signupConfirmation;
};
