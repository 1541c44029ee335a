#include "agent/shell/ModuleDirectory.h"

#include <gtest/gtest.h>

TEST(ModuleDirectoryTest, FolderWithoutTrailingSeparator)
{
    struct Row {
        const char* program;
        const char* folder;
    };
    for (Row row :
        {Row {"/opt/vandu/Vandu", "/opt/vandu"}, Row {"/Vandu", "/"}, Row {"C:\\Dir\\Vandu.exe", "C:\\Dir"},
            Row {"C:\\Vandu.exe", "C:"}, Row {"/home/a b/x /Vandu", "/home/a b/x"}, Row {"Vandu", "V"}, Row {"", ""}}) {
        SCOPED_TRACE(row.program);
        EXPECT_EQ(ModuleDirectoryOf(row.program), row.folder);
    }
}
