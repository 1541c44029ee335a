#include "agent/service/ServiceConfig.h"

#include <cstdlib>

std::string ServiceHomeFrom(const char* overrideValue)
{
    std::string home = (overrideValue != nullptr && *overrideValue != '\0') ? overrideValue : kServiceDefaultHome;
    while (!home.empty() && home.back() == '/') {
        home.pop_back();
    }
    if (home.empty()) {
        return kServiceDefaultHome;
    }
    if (home.find("://") == std::string::npos) {
        home = "http://" + home;
    }
    return home;
}

std::string ServiceCgiBaseOf(const std::string& home)
{
    return home + "/cgi-bin/";
}

std::string ServiceAspBaseOf(const std::string& home)
{
    return home + "/asp/misc/";
}

std::string ServiceHostNameOf(const std::string& home)
{
    std::string::size_type start = home.find("://");
    start = (start == std::string::npos) ? 0 : start + 3;
    // A bracketed IPv6 literal holds colons of its own.
    std::string::size_type end
        = home.compare(start, 1, "[") == 0 ? home.find(']', start) : home.find_first_of(":/?#", start);
    if (end != std::string::npos && home[end] == ']') {
        ++end;
    }
    return home.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

std::string ServiceHomePage()
{
    return ServiceHomeFrom(std::getenv(kServiceHomeVariable));
}

std::string ServiceCgiBase()
{
    return ServiceCgiBaseOf(ServiceHomePage());
}

std::string ServiceAspBase()
{
    return ServiceAspBaseOf(ServiceHomePage());
}

std::string ServiceHostName()
{
    return ServiceHostNameOf(ServiceHomePage());
}
