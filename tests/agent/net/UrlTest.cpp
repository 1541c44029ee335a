#include "agent/net/Url.h"

#include <gtest/gtest.h>

TEST(Url, Parse)
{
    struct Case {
        std::string text;
        std::string scheme, host, port, path, query, fragment;
        int valid;
    } cases[] = {
        {"", "", "", "", "", "", "", 0},
        {"http://server/cgi-bin/Name.dll?Cmd&A=1", "http", "server", "", "cgi-bin/Name.dll", "?Cmd&A=1", "", 1},
        {"http://server:8080/a/b", "http", "server", "8080", "a/b", "", "", 1},
        {"http://server:80", "http", "server", "80", "", "", "", 1},
        {"http://server", "http", "server", "", "", "", "", 1},
        {"http://server/", "http", "server", "", "", "", "", 1},
        {"http://:81/x", "http", "", "81", "x", "", "", 1},
        {"http:///x", "http", "", "", "x", "", "", 1},
        {"HTTP://Server/p#top", "HTTP", "Server", "", "p", "", "top", 1},
        {"http://s/p?q=1#f?g", "http", "s", "", "p", "?q=1", "f?g", 1},
        // A ":" after the authority stays in the path or query.
        {"http://s/dir/a:b?c=d:e", "http", "s", "", "dir/a:b", "?c=d:e", "", 1},
        {"http://host:8080?q=1", "http", "host", "8080", "", "?q=1", "", 1},
        {"http://host:8080#f", "http", "host", "8080", "", "", "f", 1},
        {"http://host?q=a:b", "http", "host", "", "", "?q=a:b", "", 1},
        {"http://s//lead", "http", "s", "", "/lead", "", "", 1},
        // No scheme when "/", "?" or "#" comes before the first ":".
        {"/path:x?y", "", "", "", "/path:x", "?y", "", 1},
        {"//h:1/p", "", "h", "1", "p", "", "", 1},
        {"mailto:someone", "mailto", "", "", "someone", "", "", 1},
        {"a?b:c", "", "", "", "a", "?b:c", "", 1},
        {":", "", "", "", "", "", "", 1},
    };
    CUrl url;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        url.Parse(c.text); // re-parsed each time: nothing may survive from the last text
        EXPECT_EQ(url.Scheme, c.scheme);
        EXPECT_EQ(url.Host, c.host);
        EXPECT_EQ(url.Port, c.port);
        EXPECT_EQ(url.Path, c.path);
        EXPECT_EQ(url.Query, c.query);
        EXPECT_EQ(url.Fragment, c.fragment);
        EXPECT_EQ(url.Valid, c.valid);
    }
}
