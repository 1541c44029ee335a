#include "agent/lcd/MessageText.h"
#include "agent/store/StoredMessage.h"
#include "tests/agent/store/StoreFakes.h"

#include <gtest/gtest.h>

#include <string>

namespace {

CStoredMessage Voice(const std::string& date, const std::string& time, const std::string& callerId)
{
    return CStoredMessage('\x01', date, time, 0, "", 1, "1.wav", callerId, "", "", "", "");
}

TEST(MessageTextTest, StatusLineForEveryCountAndMailState)
{
    struct Row {
        int newCount;
        int total;
        int32_t mail;
        const char* expected;
    };
    const Row rows[] = {
        {1, 3, -1, "Calls: 1 new - 2 old\n"},
        {3, 3, 0, "Calls: 3 new\nNo email"},
        {0, 0, 12, "Calls: 0 new\n12 emails"},
        {0, 2, -5, "Calls: 0 new - 2 old\n-5 emails"},
        {0, 0, 1, "Calls: 0 new\n1 email"},
        {2, 2, -2, "Calls: 2 new\nChecking email..."},
        {0, 1, -3, "Calls: 0 new - 1 old\nInvalid email user"},
        {0, 0, -4, "Calls: 0 new\nInvalid email passwd"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.expected);
        EXPECT_EQ(CMessageText::StatusText(row.newCount, row.total, row.mail, false, "ignored"), row.expected);
    }
    EXPECT_EQ(CMessageText::StatusText(1, 3, 0, true, "Right click and select"), "Right click and select");
}

TEST(MessageTextTest, LocalDateAndTimeFromUniversalTime)
{
    struct Row {
        const char* date;
        const char* time;
        int bias;
        const char* localDate;
        const char* localTime;
    };
    const Row rows[] = {
        {"3/15/1999", "19:05:00", 300, "03/15/1999", "14:05"},
        {"12/31/1999", "23:30:00", 300, "12/31/1999", "18:30"},
        {"12/31/1999", "23:30:00", -120, "01/01/2000", "01:30"},
        {"1/2/2003", "4:5:6", 0, "01/02/2003", "04:05"},
        {"3/1/2000", "01:00:00", 120, "02/29/2000", "23:00"},
        {" 7/ 4/1776", "12:00:00", 0, "07/04/1776", "12:00"},
        {"2/29/2001", "00:00:00", 0, "03/01/2001", "00:00"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.date) + " " + row.time + " bias " + std::to_string(row.bias));
        EXPECT_EQ(CMessageText::LocalDate(row.date, row.time, row.bias), row.localDate);
        EXPECT_EQ(CMessageText::LocalTime(row.date, row.time, row.bias), row.localTime);
    }
}

TEST(MessageTextTest, MalformedDateOrTimeGivesEmptyTexts)
{
    struct Row {
        const char* date;
        const char* time;
    };
    for (const Row& row : {Row {"", "19:05:00"}, Row {"3/15/1999", ""}, Row {"3-15-1999", "19:05:00"},
             Row {"3/15", "19:05:00"}, Row {"3/15/1999", "19:05"}, Row {"a/b/c", "1:2:3"},
             Row {"3/15/99999999999", "1:2:3"}, Row {"3 /15/1999", "1:2:3"}, Row {"1/1/-2147483647", "1:2:3"},
             Row {"2147483647/1/2000", "1:2:3"}, Row {"1/1/2000", "2147483647:0:0"}}) {
        SCOPED_TRACE(std::string(row.date) + " | " + row.time);
        EXPECT_EQ(CMessageText::LocalDate(row.date, row.time, 0), "");
        EXPECT_EQ(CMessageText::LocalTime(row.date, row.time, 0), "");
    }
}

TEST(MessageTextTest, LcdLinesUseTheInjectedOffset)
{
    vandu::test::CFixedTimeSource clock {0, 300};
    CStoredMessage voice = Voice("3/15/1999", "19:05:00", "5550001");
    EXPECT_EQ(CMessageText::HeaderLine(1, voice, clock), "#1 14:05 03/15/1999\n");
    EXPECT_EQ(CMessageText::VoiceHeaderLine(12, voice, clock), "#12 14:05 03/15/1999");
    EXPECT_EQ(CMessageText::CallerLine(voice), "Caller id: 5550001");
    EXPECT_EQ(CMessageText::CallerLine(Voice("", "", "")), "");
    EXPECT_EQ(CMessageText::HeaderLine(2, Voice("", "", ""), clock), "#2  \n");
    EXPECT_EQ(CMessageText::VoiceLine(), "Voice message ");
}

TEST(MessageTextTest, ClockIsTwelveHourWithWeekdayAndMonthDay)
{
    // 2026-12-08 06:02:00 UTC was a Tuesday.
    const std::time_t now = 1796709720;
    struct Row {
        int bias;
        const char* expected;
    };
    for (const Row& row : {Row {0, "06:02 Tue 12-08"}, Row {420, "11:02 Mon 12-07"}, Row {-360, "12:02 Tue 12-08"},
             Row {-780, "07:02 Tue 12-08"}}) {
        SCOPED_TRACE(row.bias);
        EXPECT_EQ(CMessageText::ClockText(vandu::test::CFixedTimeSource {now, row.bias}), row.expected);
    }
}

TEST(MessageTextTest, TitleAndDetailTexts)
{
    EXPECT_EQ(CMessageText::TitleText("4711", "Jane", "Doe"), "ID 4711 J. Doe");
    EXPECT_EQ(CMessageText::TitleText("4711", "", ""), "ID 4711 . ");
    vandu::test::CFixedTimeSource clock {0, 300};
    CStoredMessage voice = Voice("3/15/1999", "19:05:00", "5550001");
    CStoredMessage text('\x02', "3/15/1999", "19:05:00", 0, "Hi", 3, "", "", "", "5551234567", "Jane", "Doe");
    CStoredMessage plain('\x03', "bad", "19:05:00", 0, "Hi", 2, "", "", "", "", "", "");
    EXPECT_EQ(CMessageText::DetailText(&voice), "Voice Message");
    EXPECT_EQ(CMessageText::DetailText(&text), "Hi");
    EXPECT_EQ(CMessageText::DetailText(nullptr), "");
    EXPECT_EQ(CMessageText::DetailFrom(&voice), "5550001");
    EXPECT_EQ(CMessageText::DetailFrom(&text), "5551234567 Jane Doe");
    EXPECT_EQ(CMessageText::DetailFrom(&plain), "  ");
    EXPECT_EQ(CMessageText::DetailReceived(&voice, clock), "14:05 03/15/1999");
    EXPECT_EQ(CMessageText::DetailReceived(&plain, clock), " ");
    EXPECT_EQ(CMessageText::DetailReceived(nullptr, clock), "");
}

} // namespace
