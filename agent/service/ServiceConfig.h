#pragma once

// Configuration of the message service: one service home (scheme and host, no trailing "/") from
// which every base URL is derived. The bundled reference service is the default; the environment
// variable VANDU_SERVICE points the agent at another one. Read at every call, so a test or a
// launcher can change it without restarting anything.

#include <string>

inline constexpr const char* kServiceDefaultHome = "http://127.0.0.1:8026";
inline constexpr const char* kServiceHomeVariable = "VANDU_SERVICE";
// Sent with SetGetUserInfo and shown in the about box.
inline constexpr const char* kServiceVersion = "4.2";

// The service home for an override value (null or empty: the default). A trailing "/" is dropped
// and "http://" is put in front of a value that names no scheme.
std::string ServiceHomeFrom(const char* overrideValue);
// home + "/cgi-bin/" and home + "/asp/misc/".
std::string ServiceCgiBaseOf(const std::string& home);
std::string ServiceAspBaseOf(const std::string& home);
// The host of a home, without scheme, port or path: what the tooltips name.
std::string ServiceHostNameOf(const std::string& home);

// The same, for the home in effect now.
std::string ServiceHomePage();
std::string ServiceCgiBase();
std::string ServiceAspBase();
std::string ServiceHostName();
