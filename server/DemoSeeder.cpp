#include "server/DemoSeeder.h"

#include "server/AudioConverter.h"
#include "server/DemoContent.h"
#include "server/ServiceStore.h"

#include <ctime>

namespace vandu::server {

namespace {

int SeedMessages(CServiceStore& store)
{
    CConvertedRecording recording;
    std::string error;
    if (CAudioConverter::Convert(CDemoContent::MakeRecording(22050, 1, 3.0), recording, error) != 0) {
        return -1;
    }
    const std::time_t now = std::time(nullptr);
    CServiceMessage voice;
    voice.SubscriberId = kDemoId;
    voice.Type = kVoiceMessage;
    voice.Created = now - 3600;
    voice.CallerId = "5550142";
    voice.CallerName = "Pat Caller";
    voice.GsmWave = recording.GsmWave;
    voice.PcmWave = recording.PcmWave;

    CServiceMessage phoneText;
    phoneText.SubscriberId = kDemoId;
    phoneText.Type = kPhoneText;
    phoneText.Created = now - 1800;
    phoneText.Text = "Your package arrives tomorrow between 9 and 12.";

    CServiceMessage subscriberText;
    subscriberText.SubscriberId = kDemoId;
    subscriberText.Type = kSubscriberText;
    subscriberText.Created = now - 600;
    subscriberText.SenderId = kDemoSenderId;
    subscriberText.FirstName = "Sam";
    subscriberText.LastName = "Rivers";
    subscriberText.Text = "Lunch on Friday?";

    for (const CServiceMessage* message : {&voice, &phoneText, &subscriberText}) {
        if (store.AddMessage(*message) < 0) {
            return -1;
        }
    }
    return 0;
}

int SeedSubscribers(CServiceStore& store)
{
    if (!store.FindSubscriber(kDemoSenderId)
        && store.AddSubscriber({kDemoSenderId, "4321", "Sam", "Rivers", "sam.rivers@example.com", ""}) != 0) {
        return -1;
    }
    if (store.FindSubscriber(kDemoId)) {
        return 0;
    }
    if (store.AddSubscriber({kDemoId, kDemoPassword, "Jane", "Doe", "jane.doe@example.com", ""}) != 0) {
        return -1;
    }
    return SeedMessages(store);
}

int SeedBanners(CServiceStore& store)
{
    if (!store.FindBanner(kSponsorBanner)) {
        const CBanner sponsor {
            "101", "Fresh coffee, delivered", "http://127.0.0.1:8026/", CDemoContent::SponsorPicture(), false};
        if (store.SetBanner(kSponsorBanner, sponsor) != 0) {
            return -1;
        }
    }
    if (!store.FindBanner(kVendorBanner)) {
        const CBanner vendor {
            "", "Vandu: your messages on your desktop", "http://127.0.0.1:8026/", CDemoContent::VendorPicture(), false};
        if (store.SetBanner(kVendorBanner, vendor) != 0) {
            return -1;
        }
    }
    return 0;
}

} // namespace

int CDemoSeeder::Seed(CServiceStore& store)
{
    return store.InTransaction([&store] { return SeedSubscribers(store) == 0 && SeedBanners(store) == 0 ? 0 : -1; });
}

} // namespace vandu::server
