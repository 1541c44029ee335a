#include "agent/store/AccountInfo.h"

int32_t CAccountInfo::GetLoginOk() const
{
    return Get(m_loginOk);
}
void CAccountInfo::SetLoginOk(int32_t value)
{
    Set(m_loginOk, value);
}
int32_t CAccountInfo::GetIdAvailable() const
{
    return Get(m_idAvailable);
}
void CAccountInfo::SetIdAvailable(int32_t value)
{
    Set(m_idAvailable, value);
}
int32_t CAccountInfo::GetSignupOk() const
{
    return Get(m_signupOk);
}
void CAccountInfo::SetSignupOk(int32_t value)
{
    Set(m_signupOk, value);
}
std::string CAccountInfo::GetSignupMessage() const
{
    return Get(m_signupMessage);
}
void CAccountInfo::SetSignupMessage(const std::string& value)
{
    Set(m_signupMessage, value);
}
std::string CAccountInfo::GetIdMessage() const
{
    return Get(m_idMessage);
}
void CAccountInfo::SetIdMessage(const std::string& value)
{
    Set(m_idMessage, value);
}
int32_t CAccountInfo::GetUserType() const
{
    return Get(m_userType);
}
void CAccountInfo::SetUserType(int32_t value)
{
    Set(m_userType, value);
}
std::string CAccountInfo::GetLastName() const
{
    return Get(m_lastName);
}
void CAccountInfo::SetLastName(const std::string& value)
{
    Set(m_lastName, value);
}
std::string CAccountInfo::GetFirstName() const
{
    return Get(m_firstName);
}
void CAccountInfo::SetFirstName(const std::string& value)
{
    Set(m_firstName, value);
}
std::string CAccountInfo::GetTollFreeNumber() const
{
    return Get(m_tollFreeNumber);
}
void CAccountInfo::SetTollFreeNumber(const std::string& value)
{
    Set(m_tollFreeNumber, value);
}
std::string CAccountInfo::GetIPAddress() const
{
    return Get(m_ipAddress);
}
void CAccountInfo::SetIPAddress(const std::string& value)
{
    Set(m_ipAddress, value);
}
std::string CAccountInfo::GetSignupConfirmation() const
{
    return Get(m_signupConfirmation);
}
void CAccountInfo::SetSignupConfirmation(const std::string& value)
{
    Set(m_signupConfirmation, value);
}

void CAccountInfo::SetUserInfo(int32_t userType, const std::string& firstName, const std::string& lastName,
    const std::string& tollFreeNumber, const std::string& ipAddress)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_userType = userType;
    m_firstName = firstName;
    m_lastName = lastName;
    m_tollFreeNumber = tollFreeNumber;
    m_ipAddress = ipAddress;
    // A user type of 4 is the service's way of rejecting the ID or password.
    m_loginOk = userType == 4 ? 0 : 1;
}

CAccountInfo::Names CAccountInfo::GetNames() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return Names {m_firstName, m_lastName};
}
