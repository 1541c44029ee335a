// Entry points of libvandu_mail.so: the mailbox count's socket dialogue.

#include "agent/mail/MailModuleEntry.h"
#include "agent/mail/Pop3Dialogue.h"
#include "agent/mail/Pop3Protocol.h"

extern "C" __attribute__((visibility("default"))) int vandu_mail_interface()
{
    return vandu::mail::kModuleInterface;
}

extern "C" __attribute__((visibility("default"))) int vandu_mail_count(const vandu::mail::SCountRequest* request)
{
    if (request == nullptr || request->Server == nullptr || request->User == nullptr || request->Password == nullptr)
        return CPop3Protocol::kConnectFailed;
    return CPop3Dialogue(*request).Run();
}
