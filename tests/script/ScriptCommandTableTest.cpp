// The script commands are declared once: the interpreter runs the table's rows, `--help` lists
// them from it, and docs/SCRIPTING.md must name each, so neither can drift from what runs.
#include "host/HostTestFiles.h"

#include "host/script/ScriptCommandTable.h"
#include "host/script/ScriptHelp.h"

#include <set>

namespace {

std::string FirstLine(std::string_view text) { return std::string(text.substr(0, text.find('\n'))); }

} // namespace

TEST(ScriptCommandTable, EachCommandIsDeclaredOnceWithItsCountUsageAndBody) {
    std::set<std::string_view> names;
    for (const ScriptCommand& c : ScriptCommands()) {
        SCOPED_TRACE(std::string(c.name));
        EXPECT_TRUE(names.insert(c.name).second);
        EXPECT_NE(c.body, nullptr);
        EXPECT_LE(c.fewestArgs, c.mostArgs);
        EXPECT_NE(c.usage.find(c.name), std::string_view::npos);
        EXPECT_EQ(FindScriptCommand(c.name), &c);
    }
    EXPECT_EQ(FindScriptCommand("frobnicate"), nullptr);
    std::string error;
    EXPECT_FALSE(ScriptUsage("layer", error));
    EXPECT_EQ(error, "usage: layer NAME hide|show|lock|unlock");
}

TEST(ScriptCommandTable, TheHelpListsEveryCommandFromTheTable) {
    const std::string help = QuorvelHelpText();
    EXPECT_NE(help.find("\nCommands:\n" + ScriptCommandsHelp() + "\nMenu items"), std::string::npos);
    for (const ScriptCommand& c : ScriptCommands()) {
        SCOPED_TRACE(std::string(c.name));
        if (!c.help.empty()) {
            // Its lines start with the command, each a line of its own.
            EXPECT_EQ(c.help.rfind("  " + std::string(c.name) + " ", 0), 0u);
            EXPECT_EQ(c.help.back(), '\n');
            continue;
        }
        // A command without lines of its own stands beside another in that one's first line.
        bool shown = false;
        for (const ScriptCommand& other : ScriptCommands())
            if (FirstLine(other.help).find("| " + std::string(c.name)) != std::string::npos) shown = true;
        EXPECT_TRUE(shown);
    }
}

TEST(ScriptCommandTable, TheScriptingDocumentNamesEveryCommand) {
    const std::string doc = ReadWholeFile(SourceFile("docs/SCRIPTING.md"));
    ASSERT_FALSE(doc.empty());
    for (const ScriptCommand& c : ScriptCommands()) {
        const std::string quoted = "`" + std::string(c.name);
        EXPECT_TRUE(doc.find(quoted + " ") != std::string::npos || doc.find(quoted + "`") != std::string::npos) << c.name;
    }
    // And the document's table of the host's commands holds only commands that run.
    const size_t begin = doc.find("\n## Commands\n"), end = doc.find("\n## ", begin + 1);
    ASSERT_NE(begin, std::string::npos);
    std::istringstream section(doc.substr(begin, end - begin));
    size_t rows = 0;
    for (std::string line; std::getline(section, line);) {
        if (rows > 0 && line.rfind("|", 0) != 0) break;
        if (line.rfind("| `", 0) != 0) continue;
        const std::string name = line.substr(3, line.find_first_of(" `", 3) - 3);
        EXPECT_NE(FindScriptCommand(name), nullptr) << line;
        ++rows;
    }
    EXPECT_GT(rows, 10u);
}
