// The how-to-use text of the signup wizard: the ID in full after the toll-free number, then split
// as a phone number; a stored ID of another length still gives a text and never reads past its end.

#include "agent/wizard/SignupTexts.h"

#include <gtest/gtest.h>

namespace wizard = vandu::wizard;

namespace {

TEST(SignupTextsTest, HowToUseText)
{
    EXPECT_EQ(wizard::HowToUseText("5559876543", "1-888-VANDU-42"),
        "Use Vandu Ringfold in two ways:\n\n1. Tell your friends they can leave a message for you by dialing "
        "1-888-VANDU-42 and entering your Vandu ID 5559876543. The message will be stored and sent to you.\n\nOR\n\n"
        "2. Get messages automatically when people call your home number (555-987-6543) and you're on the "
        "Internet. This is the best way to use Vandu, but you need to set up your phone first.\nClick on the ? "
        "button to learn how once the installation is completed.");
    // A "%s" in a value is text, not a placeholder.
    const std::string text = wizard::HowToUseText("%s%s%s%s%s", "%s");
    EXPECT_NE(text.find("dialing %s and entering your Vandu ID %s%s%s%s%s."), std::string::npos) << text;
}

TEST(SignupTextsTest, SplitPhoneNumber)
{
    struct Row {
        const char* id;
        const char* split;
    };
    const Row rows[] = {
        {"5559876543", "555-987-6543"},
        {"", "--"},
        {"12", "12--12"},
        {"12345", "123-45-2345"},
        {"12345678", "123-456-5678"},
        {"123456789012", "123-456-9012"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.id);
        const wizard::SPhoneNumber phone = wizard::SplitPhoneNumber(row.id);
        EXPECT_EQ(phone.AreaCode + "-" + phone.Exchange + "-" + phone.Number, row.split);
    }
}

} // namespace
