#include "agent/lcd/SponsorInfo.h"

#include "agent/service/ServiceConfig.h"
#include "agent/service/ServiceJob.h"
#include "agent/settings/SettingsStore.h"
#include "agent/skin/FaceLayout.h"
#include "agent/store/MessageStore.h"

#include <QFile>

void CSponsorInfo::Attach(CMessageStore& store)
{
    m_store = &store;
    LoadPicture();
}

void CSponsorInfo::LoadPicture()
{
    const std::string path = m_store ? m_store->Folder() + "/" + kSponsorPictureFile : std::string();
    // A missing or broken download falls back to the built-in sponsor picture.
    if (CSettingsStore::FileExists(path)
        && m_picture.LoadFromFile(QFile::decodeName(QByteArray::fromStdString(path)))) {
        return;
    }
    m_picture.LoadFromResource(vandu::face::kSponsorBitmap);
}

std::string CSponsorInfo::MoreInformationAddress() const
{
    const std::string url = m_store ? m_store->HeaderValues().SponsorURL : std::string();
    return url.empty() ? ServiceHomePage() + "/" : url;
}
