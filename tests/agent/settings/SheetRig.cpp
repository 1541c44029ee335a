#include "tests/agent/settings/SheetRig.h"

#include <sys/stat.h>

namespace vandu::test {

CSheetRig::CSheetRig(IAccountOperations* accounts)
    : Settings(Backend, [] { return std::make_pair(1024, 768); })
    , Scripted(Account)
{
    const std::string folder = Dir.File("msg");
    ::mkdir(folder.c_str(), 0755);
    Store = std::make_unique<CMessageStore>(Renderer, Player, Settings, Account, Time, folder);
    Services = std::make_unique<SAgentServices>(SAgentServices {Settings, *Store, Account,
        accounts ? *accounts : Scripted, Reachability, Runner, Prompts, Files, Urls, Player, Window});
}

void CSheetRig::Forget()
{
    Backend.Writes.clear();
    Window.Calls.clear();
    Prompts.Clear();
}

} // namespace vandu::test
