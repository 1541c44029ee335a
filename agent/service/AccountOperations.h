#pragma once

// The account operations a user waits for: the password check of the settings sheet, the ID check
// and the signup of the signup wizard, and sending a text message. Each is one blocking exchange
// with the service; the outcome goes to the account info (ResultText for the text message). The
// user-info job carries the real ones; tests may record calls instead.

#include <string>

class IAccountOperations {
public:
    virtual ~IAccountOperations() = default;

    // Checks the stored ID and password; sets the account info's login-ok flag.
    virtual void CheckPassword() = 0;
    // Sets the ID-available flag and, for a taken or invalid ID or no answer, the ID message.
    virtual void CheckIdAvailable(const std::string& vanduId) = 0;
    // Sets the signup-ok flag and the signup message, or the confirmation text.
    virtual void Signup(const std::string& vanduId, const std::string& password, const std::string& email,
        const std::string& firstName, const std::string& lastName)
        = 0;
    // Sends a text to another subscriber; ResultText then holds the service's answer (may be empty).
    virtual void SendTextMessage(const std::string& recipientId, const std::string& text) = 0;
    virtual std::string ResultText() const = 0;
};
