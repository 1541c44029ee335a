#include "agent/shell/AgentActions.h"

#include "agent/service/ServiceConfig.h"
#include "agent/settings/SettingsStore.h"
#include "agent/settings/UrlOpener.h"
#include "agent/shell/AgentDialogs.h"
#include "agent/skin/FaceLayout.h"
#include "agent/store/MessageStore.h"
#include "common/UserPrompts.h"

namespace commands = vandu::commands;
namespace face = vandu::face;

CAgentActions::CAgentActions(CMessageStore& store, CSettingsStore& settings, IUserPrompts& prompts, IUrlOpener& urls,
    CAgentDialogs& dialogs, const CSponsorInfo& sponsor, QObject* parent)
    : QObject(parent)
    , m_store(store)
    , m_settings(settings)
    , m_prompts(prompts)
    , m_urls(urls)
    , m_dialogs(dialogs)
    , m_sponsor(sponsor)
{
}

bool CAgentActions::Run(int commandId)
{
    if (const commands::Page page = commands::PageOf(commandId); page != commands::Page::None) {
        OpenPage(page);
        return true;
    }
    switch (commandId) {
    case face::ID_PREVIOUS:
        m_store.PreviousMessage();
        m_store.Redraw();
        return true;
    case face::ID_NEXT:
        m_store.NextMessage();
        m_store.Redraw();
        return true;
    case face::ID_PLAY:
        m_store.PlayCurrentVoice();
        return true;
    case face::ID_STOP:
        m_store.StopPlaying();
        return true;
    case face::ID_SCROLL_UP:
        m_store.ScrollUp();
        m_store.Redraw();
        return true;
    case face::ID_SCROLL_DOWN:
        m_store.ScrollDown();
        m_store.Redraw();
        return true;
    case face::ID_DELETE:
    case commands::ID_DELETE_MESSAGE:
        DeleteCurrentMessage();
        return true;
    case commands::ID_DELETE_ALL:
        DeleteAllMessages();
        return true;
    case commands::ID_PROPERTIES:
        OpenSettings(false);
        return true;
    case commands::ID_ABOUT:
        m_dialogs.ShowAboutBox();
        return true;
    case commands::ID_VIEW_INFORMATION:
        m_dialogs.ShowSponsorInfo(m_sponsor);
        return true;
    case commands::ID_SEND_MESSAGE:
        SendMessage(false);
        return true;
    case commands::ID_REPLY:
        SendMessage(true);
        return true;
    default:
        return false;
    }
}

commands::SMenuState CAgentActions::MenuState(bool windowVisible)
{
    commands::SMenuState state;
    state.windowVisible = windowVisible;
    state.messageCount = m_store.Count();
    const std::optional<CStoredMessage> current = m_store.CurrentMessage();
    state.canReply = current && !current->SenderVanduID().empty();
    return state;
}

void CAgentActions::DoubleClick(commands::FaceZone zone)
{
    switch (zone) {
    case commands::FaceZone::Banner:
        m_urls.OpenUrl(commands::BannerUrl(m_store.HeaderValues().VendorURL, ServiceHomePage()));
        break;
    case commands::FaceZone::LogoCorner:
        m_urls.OpenUrl(ServiceHomePage());
        break;
    case commands::FaceZone::Lcd:
        ShowMessageDetail();
        break;
    case commands::FaceZone::None:
        break;
    }
}

void CAgentActions::OpenPage(commands::Page page)
{
    const commands::SPageContext context {
        m_settings.GetVanduID(), m_settings.GetPassword(), ServiceCgiBase(), ServiceAspBase(), ServiceHomePage()};
    m_urls.OpenUrl(commands::PageUrl(page, context));
}

void CAgentActions::DeleteCurrentMessage()
{
    const std::optional<CStoredMessage> shown = m_store.CurrentMessage();
    const int index = m_store.CurrentIndex();
    if (!shown || !m_prompts.AskYesNo("Do you want to delete the current message?")) {
        return;
    }
    m_store.StopPlaying();
    m_store.DeleteIfCurrent(index, *shown);
    m_store.Redraw();
}

void CAgentActions::DeleteAllMessages()
{
    if (!m_store.HasMessages() || !m_prompts.AskYesNo("Do you want to delete all messages?")) {
        return;
    }
    m_store.DeleteAll();
    m_store.Redraw();
}

void CAgentActions::OpenSettings(bool identificationOnly)
{
    if (m_dialogs.OpenSettings(identificationOnly)) {
        emit RepaintNeeded();
    }
}

void CAgentActions::ShowMessageDetail()
{
    if (m_store.HasMessages()) {
        m_dialogs.ShowMessageDetail();
    }
}

void CAgentActions::SendMessage(bool reply)
{
    if (!reply) {
        m_dialogs.SendMessage(nullptr);
        return;
    }
    const std::optional<CStoredMessage> current = m_store.CurrentMessage();
    if (current && !current->SenderVanduID().empty()) {
        m_dialogs.SendMessage(&*current);
    }
}
