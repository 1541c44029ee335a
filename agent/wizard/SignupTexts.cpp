#include "agent/wizard/SignupTexts.h"

namespace vandu::wizard {

namespace {

std::string Part(const std::string& text, std::size_t offset, std::size_t length)
{
    return offset < text.size() ? text.substr(offset, length) : std::string();
}

} // namespace

SPhoneNumber SplitPhoneNumber(const std::string& vanduId)
{
    // The line number is the last four characters, as the number a caller dials ends with them.
    const std::size_t numberStart = vanduId.size() > kNumberLength ? vanduId.size() - kNumberLength : 0;
    return {Part(vanduId, 0, kAreaCodeLength), Part(vanduId, kAreaCodeLength, kExchangeLength),
        Part(vanduId, numberStart, kNumberLength)};
}

std::string HowToUseText(const std::string& vanduId, const std::string& tollFreeNumber)
{
    const SPhoneNumber phone = SplitPhoneNumber(vanduId);
    return "Use Vandu Ringfold in two ways:\n\n1. Tell your friends they can leave a message for you by dialing "
        + tollFreeNumber + " and entering your Vandu ID " + vanduId
        + ". The message will be stored and sent to you.\n\nOR\n\n2. Get messages automatically when people call "
          "your home number ("
        + phone.AreaCode + "-" + phone.Exchange + "-" + phone.Number
        + ") and you're on the Internet. This is the best way to use Vandu, but you need to set up your phone "
          "first.\nClick on the ? button to learn how once the installation is completed.";
}

} // namespace vandu::wizard
