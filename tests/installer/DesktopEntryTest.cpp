#include "installer/DesktopEntryWriter.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <thread>

using vandu::test::ReadFile;
using vandu::test::TempDir;
using vandu::test::WriteFile;

namespace {

// What a reader does with a string value: undo \s \n \t \r \\.
std::string UnescapeString(const std::string& value)
{
    std::string out;
    for (size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '\\' || i + 1 == value.size()) {
            out += value[i];
            continue;
        }
        const char next = value[++i];
        out += next == 's' ? ' ' : next == 'n' ? '\n' : next == 't' ? '\t' : next == 'r' ? '\r' : next;
    }
    return out;
}

// What a reader does with an Exec value: the string rule, then arguments split at blanks outside
// double quotes, with \", \`, \$ and \\ undone inside them, then %% back to %.
std::vector<std::string> ParseExec(const std::string& value)
{
    const std::string text = UnescapeString(value);
    std::vector<std::string> arguments;
    std::string current;
    bool inQuotes = false;
    bool started = false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (inQuotes && c == '\\' && i + 1 < text.size()) {
            current += text[++i];
        } else if (c == '"') {
            inQuotes = !inQuotes;
            started = true;
        } else if (c == ' ' && !inQuotes) {
            if (started) {
                arguments.push_back(current);
            }
            current.clear();
            started = false;
        } else if (c == '%' && i + 1 < text.size() && text[i + 1] == '%') {
            current += '%';
            ++i;
            started = true;
        } else {
            current += c;
            started = true;
        }
    }
    if (started) {
        arguments.push_back(current);
    }
    return arguments;
}

std::string KeyValue(const std::string& text, const std::string& key)
{
    const std::string marker = "\n" + key + "=";
    const size_t at = text.find(marker);
    if (at == std::string::npos) {
        return "<missing>";
    }
    const size_t start = at + marker.size();
    return text.substr(start, text.find('\n', start) - start);
}

// Program paths that broke entries written without quoting.
const std::vector<std::string> kAwkwardPaths = {
    "/opt/Vandu/Vandu",
    "/home/ann/My Apps/Vandu/Vandu",
    "/home/j\xc3\xbcrgen/Programme f\xc3\xbcr mich/Vandu",
    "/home/ann/it's \"quoted\"/Vandu",
    "/home/ann/$HOME `date` 100%/Vandu",
    "/home/ann/back\\slash; (x) & y|z <a> ~b #c *d ?e/Vandu",
    "/home/ann/\xe6\x97\xa5\xe6\x9c\xac/Vandu",
};

TEST(DesktopEntryTest, ExecArgumentsSurviveTheReadersRules)
{
    for (const std::string& path : kAwkwardPaths) {
        SCOPED_TRACE(path);
        const std::vector<std::string> arguments = {path, "--flag", "two words"};
        EXPECT_EQ(ParseExec(CDesktopEntryWriter::ExecValue(arguments)), arguments);
    }
}

TEST(DesktopEntryTest, QuotingFollowsTheDesktopEntryFormatsExamples)
{
    struct Row {
        const char* argument;
        const char* quoted;
    };
    for (const Row& row : {Row {"/opt/Vandu/Vandu", "/opt/Vandu/Vandu"},
             Row {"/opt/My Apps/Vandu", "\"/opt/My Apps/Vandu\""}, Row {"/opt/a\"b", "\"/opt/a\\\"b\""},
             Row {"/opt/$x", "\"/opt/\\$x\""}, Row {"/opt/a`b", "\"/opt/a\\`b\""}, Row {"/opt/50%", "/opt/50%%"},
             Row {"/opt/it's", "\"/opt/it's\""}, Row {"/opt/\xc3\xbc", "/opt/\xc3\xbc"}, Row {"", "\"\""}}) {
        SCOPED_TRACE(row.argument);
        EXPECT_EQ(CDesktopEntryWriter::QuoteExecArgument(row.argument), row.quoted);
    }
    // The string rule on top of the quoting: a backslash in a quoted argument is written four times.
    EXPECT_EQ(CDesktopEntryWriter::ExecValue({"/opt/a\\b"}), "\"/opt/a\\\\\\\\b\"");
}

TEST(DesktopEntryTest, StringValuesAreEscapedAndRoundTrip)
{
    for (const std::string& value : {std::string(" leading blank"), std::string("tab\there"),
             std::string("back\\slash"), std::string("/home/ann/My Apps/Vandu"), std::string("trailing ")}) {
        SCOPED_TRACE(value);
        const std::string escaped = CDesktopEntryWriter::EscapeString(value);
        EXPECT_EQ(escaped.find('\t'), std::string::npos);
        EXPECT_NE(escaped[0], ' ');
        EXPECT_EQ(UnescapeString(escaped), value);
    }
}

TEST(DesktopEntryTest, ValuesThatCannotBeWrittenGiveNoEntry)
{
    CDesktopEntryWriter entry;
    entry.Name = "Vandu";
    entry.Exec = {"/opt/Vandu/Vandu"};
    ASSERT_FALSE(entry.Text().empty());
    struct Row {
        const char* what;
        std::string path;
    };
    for (const Row& row : {Row {"Latin-1 byte", "/home/j\xfcrgen/Vandu"}, Row {"overlong", "/x/\xc0\xaf"},
             Row {"surrogate", "/x/\xed\xa0\x80"}, Row {"truncated", "/x/\xe6\x97"},
             Row {"control", std::string("/x/a\x01") + "b"}, Row {"newline", "/x/a\nb"}}) {
        SCOPED_TRACE(row.what);
        CDesktopEntryWriter bad = entry;
        bad.Exec = {row.path};
        EXPECT_EQ(bad.Text(), "");
        bad = entry;
        bad.Path = row.path;
        // A newline in a string value has its escape; the others have none.
        EXPECT_EQ(bad.Text().empty(), row.path.find('\n') == std::string::npos);
    }
    CDesktopEntryWriter noProgram = entry;
    noProgram.Exec.clear();
    EXPECT_EQ(noProgram.Text(), "");
}

TEST(DesktopEntryTest, EntriesForAwkwardPathsPassDesktopFileValidate)
{
    const std::string validator = vandu::test::FindProgram("desktop-file-validate");
    VANDU_REQUIRE_PEER(!validator.empty(), "desktop-file-validate (desktop-file-utils)");
    TempDir dir;
    for (const std::string& path : kAwkwardPaths) {
        SCOPED_TRACE(path);
        CDesktopEntryWriter entry;
        entry.Name = "Vandu";
        entry.Comment = "Vandu Desktop Agent";
        entry.Exec = {path};
        entry.Path = path.substr(0, path.rfind('/'));
        entry.Icon = entry.Path + "/vandu.png";
        entry.Categories = "Network;Telephony;";
        entry.Extra = {{"X-Vandu-DisplayName", "Vandu"}};
        const std::string file = dir.File("vandu.desktop");
        WriteFile(file, entry.Text());
        EXPECT_EQ(vandu::test::RunCapture("'" + validator + "' " + file + " 2>&1; echo rc=$?"), "rc=0\n")
            << entry.Text();
        EXPECT_EQ(UnescapeString(KeyValue(entry.Text(), "Path")), entry.Path);
    }
}

TEST(DesktopEntryTest, AnEntryStartsItsProgramInItsFolderWhateverThePathHolds)
{
    const std::string gio = vandu::test::FindProgram("gio");
    VANDU_REQUIRE_PEER(!gio.empty(), "gio (libglib2.0-bin), which starts desktop entries");
    TempDir dir;
    // No '%' here: GLib checks that the program exists before undoing "%%" (a GLib fault).
    const std::string folder = dir.File("My \xc3\x9c"
                                        "bung $HOME `x` it's (1)");
    std::filesystem::create_directories(folder);
    const std::string program = folder + "/start me";
    const std::string out = dir.File("started.txt");
    WriteFile(program,
        "#!/bin/sh\npwd > '" + out + ".tmp'\nprintf '%s\\n' \"$0\" >> '" + out + ".tmp'\nmv '" + out + ".tmp' '" + out
            + "'\n");
    chmod(program.c_str(), 0755);
    CDesktopEntryWriter entry;
    entry.Name = "Vandu";
    entry.Exec = {program};
    entry.Path = folder;
    WriteFile(dir.File("vandu.desktop"), entry.Text());
    vandu::test::RunCapture("'" + gio + "' launch '" + dir.File("vandu.desktop") + "' >/dev/null 2>&1");
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!vandu::test::PathExists(out) && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    EXPECT_EQ(ReadFile(out), folder + "\n" + program + "\n");
}

} // namespace
