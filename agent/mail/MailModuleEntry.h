#pragma once

// The entry points of libvandu_mail.so, the POP3 counter's socket dialogue (Qt Network, TLS). The
// agent loads it at the first mail count, so that it starts and idles without Qt Network. The
// module reports the interface version it was built with, and one of another version is not used.
// Plain C types only: the module and the agent share nothing but this header.

namespace vandu::mail {

// Raised whenever SCountRequest or an entry point below changes.
inline constexpr int kModuleInterface = 1;

inline constexpr const char* kMailModule = "vandu_mail";

inline constexpr const char* kInterfaceEntry = "vandu_mail_interface";
inline constexpr const char* kCountEntry = "vandu_mail_count";

// One count. The strings are NUL-terminated bytes that the caller keeps for the whole call.
struct SCountRequest {
    const char* Server;
    const char* User;
    const char* Password;
    int Port;
    int Security; // CPop3Protocol::kSecurity*
    int ReceiveLimitMs; // longest single wait
    int DialogueLimitMs; // what is left of the whole dialogue's time; negative: none
    // Called on the caller's thread once the connection (and TLS, when chosen) is up; may be null.
    void (*Connected)(void* context);
    void* Context;
};

using InterfaceFunction = int (*)();
// Runs the dialogue on the calling thread and returns the count or a CPop3Protocol error value.
using CountFunction = int (*)(const SCountRequest* request);

} // namespace vandu::mail
