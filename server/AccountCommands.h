#pragma once

// The account commands: the user information, the password check, the ID check and the signup.

#include "server/ServiceExchange.h"

namespace vandu::server {

class CAccountCommands {
public:
    static CServiceResponse SetGetUserInfo(CServiceContext& context, const CServiceRequest& request);
    static CServiceResponse IsPasswordValid(CServiceContext& context, const CServiceRequest& request);
    static CServiceResponse IdAvailable(CServiceContext& context, const CServiceRequest& request);
    static CServiceResponse Signup(CServiceContext& context, const CServiceRequest& request);

    // The signup's "Result=" code for these values, without creating anything: 0 acceptable,
    // 3 taken, 4 invalid ID, 5 bad password, 6 and 7 invalid names, 8 invalid e-mail.
    static int CheckSignup(CServiceStore& store, const std::string& id, const std::string& password,
        const std::string& firstName, const std::string& lastName, const std::string& email);
};

} // namespace vandu::server
