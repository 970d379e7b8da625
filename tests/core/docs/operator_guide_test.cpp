// The operator's guide lists the program's own messages: every Russian text the
// sources build is found in the guide's part on messages, and every message its
// tables list is made of the sources' pieces of text. A text is read from the
// sources as its chain of string literals and other operands joined by "+", the
// other operands as "*"; the guide writes the variable parts as {name} or "…".
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <regex>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "base/files/file_io.h"

namespace flextor::test {
namespace {

namespace fs = std::filesystem;

const fs::path kSourceDir = FLEXTOR_SOURCE_DIR;
const char kGuide[] = "docs/operator-guide.md";
const char kMessagesHeading[] = "## Сообщения программы";

// Russian texts that never reach the operator as a message: the labels of the
// windows (files of labels, and texts handed to a widget), the status page and
// MQTT, the journal's own columns and the help.
const char* const kNotMessages[] = {
    "src/ui/main_window/main_window.h",      "src/ui/main_window/main_window_menus.cpp",
    "src/ui/main_window/main_window_panels", "src/ui/settings_window/log_page",
    "src/ui/settings_window/chart_page",     "src/ui/main_window/note_dialog",
    "src/ui/sensors_window/sensors_window.", "src/ui/settings_window/plant_page",
    "src/ui/chart/chart_legend.cpp",         "src/ui/chart/chart_folder.cpp",
    "src/app/remote/status_page.cpp",        "src/app/remote/journal_",
    "src/app/remote/chart_library.cpp",      "src/core/remote/mqtt_messages",
    "src/core/remote/status_snapshot",       "src/core/journal/journal_",
    "src/core/startup/command_line.cpp",     "src/core/version.h",
    "src/ui/widgets/relay_board_dialog",
};
// The first lines the program writes into Options.ini and Remote.ini.
const char* const kFileHeadings[] = {"; Дополнительные настройки", "; Страница состояния и MQTT"};
const char* const kLabelCalls[] = {"PutLabel",   "PutCheck",         "PutFrame", "PutButton",
                                   "set_label",  "set_tooltip_text", "set_text", "append_page",
                                   "add_button", "append_column",    "Dialog",   "FixedLabel"};

struct Text {
    std::string where;
    std::string glob;  // '*' stands for a variable part
    bool russian;
};

bool IsRussian(std::string_view s) {
    return s.find_first_of("\xD0\xD1") != std::string_view::npos;
}

// The literal at s[i] ('"' or a raw literal's 'R'); i ends past it. A line
// break reads as one blank.
std::string ReadLiteral(const std::string& s, size_t& i) {
    if (s[i] == 'R') {
        const size_t open = s.find('(', i);
        const std::string close = ")" + s.substr(i + 2, open - i - 2) + "\"";
        const size_t end = s.find(close, open);
        i = end + close.size();
        return s.substr(open + 1, end - open - 1);
    }
    std::string text;
    for (++i; s[i] != '"'; ++i) {
        char c = s[i];
        if (c == '\\') {
            c = s[++i];
            if (c == 'r' || (c == 'n' && text.ends_with(' '))) {
                continue;
            }
            c = c == 'n' ? ' ' : c;
        }
        text += c;
    }
    ++i;
    return text;
}

// Every chain of one file, e.g. "Нет прав на порт *: *". Arguments of a
// label call are left out.
void ReadChains(const std::string& where, const std::string& s, std::vector<Text>& out) {
    struct Chain {
        bool label = false;  // an argument of a widget's label call
        std::string glob;
        bool russian = false;
        bool operand = false;  // the operand in hand is not a literal
        void Restart() {
            glob.clear();
            russian = operand = false;
        }
    };
    std::vector<Chain> depth(1);
    std::string word;  // the identifier just read
    const auto end_operand = [](Chain& c) {
        if (c.operand && !c.glob.empty() && c.glob.back() != '*') {
            c.glob += '*';
        }
        c.operand = false;
    };
    const auto end_chain = [&](Chain& c) {
        end_operand(c);
        if (!c.glob.empty() && !c.label) {
            out.push_back({where, c.glob, c.russian});
        }
        c.Restart();
    };
    for (size_t i = 0; i < s.size();) {
        const char c = s[i];
        const std::string_view rest(s.data() + i, s.size() - i);
        const bool in_word = std::isalnum(static_cast<unsigned char>(c)) || c == '_';
        if (rest.starts_with("//")) {
            i = s.find('\n', i);
        } else if (rest.starts_with("/*")) {
            i = s.find("*/", i) + 2;
        } else if (c == '"' || (rest.starts_with("R\"") && word.empty())) {
            Chain& chain = depth.back();
            if (chain.operand) {  // e.g. "return": the chain starts here
                chain.Restart();
            }
            const std::string text = ReadLiteral(s, i);
            chain.glob += text;
            chain.russian = chain.russian || IsRussian(text);
        } else if (c == '\'' && word.empty()) {
            i = s.find('\'', i + (s[i + 1] == '\\' ? 3 : 2)) + 1;  // a character literal
        } else if (c == '+' && s[i + 1] != '+' && s[i + 1] != '=') {
            end_operand(depth.back());
            ++i;
        } else if (c == '(' || c == '[' || c == '{') {
            depth.back().operand = true;
            const bool label =
                depth.back().label || std::ranges::find(kLabelCalls, word) != std::end(kLabelCalls);
            depth.emplace_back().label = label;
            ++i;
        } else if (c == ')' || c == ']' || c == '}') {
            end_chain(depth.back());
            if (depth.size() > 1) {
                depth.pop_back();
            }
            ++i;
        } else if (c == ',' || c == ';' || c == '?' ||
                   (c == ':' && s[i + 1] != ':' && s[i - 1] != ':')) {
            end_chain(depth.back());
            ++i;
        } else {
            depth.back().operand =
                depth.back().operand || !std::isspace(static_cast<unsigned char>(c));
            ++i;
        }
        word = in_word ? word + c : std::string();
    }
}

std::vector<Text> SourceTexts() {
    std::vector<Text> texts;
    for (const auto& entry : fs::recursive_directory_iterator(kSourceDir / "src")) {
        const std::string where = entry.path().lexically_relative(kSourceDir).string();
        bool skipped = !entry.is_regular_file();
        for (const char* prefix : kNotMessages) {
            skipped = skipped || where.starts_with(prefix);
        }
        if (!skipped) {
            std::string source;
            EXPECT_TRUE(ReadWholeFile(entry.path().string(), source)) << where;
            ReadChains(where, source, texts);
        }
    }
    return texts;
}

// Blanks at the ends of a text matter to no reader.
std::string_view Trimmed(std::string_view s) {
    const size_t first = s.find_first_not_of(' ');
    return first == std::string_view::npos ? ""
                                           : s.substr(first, s.find_last_not_of(' ') - first + 1);
}

std::vector<std::string_view> Split(std::string_view glob) {
    std::vector<std::string_view> parts;
    for (size_t from = 0;;) {
        const size_t star = glob.find('*', from);
        parts.push_back(glob.substr(from, star - from));
        if (star == std::string_view::npos) {
            return parts;
        }
        from = star + 1;
    }
}

// Whether glob matches a part of line.
bool Found(std::string_view glob, std::string_view line) {
    size_t at = 0;
    for (std::string_view part : Split(Trimmed(glob))) {
        at = line.find(part, at);
        if (at == std::string_view::npos) {
            return false;
        }
        at += part.size();
    }
    return true;
}

// Whether text is a sequence of the sources' pieces of text, as the fixed part
// of a message is.
bool Built(std::string_view text, const std::set<std::string, std::less<>>& pieces) {
    std::string reached(text.size() + 1, '\0');  // whether the pieces reach each place
    reached[0] = 1;
    for (size_t from = 0; from < text.size(); ++from) {
        for (size_t to = from + 1; reached[from] != 0 && to <= text.size(); ++to) {
            reached[to] = reached[to] != 0 || pieces.contains(text.substr(from, to - from)) ? 1 : 0;
        }
    }
    return reached.back() != 0;
}

struct Guide {
    std::vector<std::string> lines;    // the messages part, line by line
    std::vector<std::string> entries;  // the first cell of each table row, without its ``
};

Guide ReadGuide() {
    Guide guide;
    std::string text;
    EXPECT_TRUE(ReadWholeFile((kSourceDir / kGuide).string(), text)) << kGuide;
    size_t at = text.find(kMessagesHeading);
    const size_t end = at == std::string::npos ? at : text.find("\n## ", at + 1);
    while (at < end && at < text.size()) {
        const size_t eol = std::min(text.find('\n', at), text.size());
        std::string line =
            std::regex_replace(text.substr(at, eol - at), std::regex(R"(\\\|)"), "|");
        if (line.starts_with("| `")) {
            guide.entries.push_back(line.substr(3, line.find("` |") - 3));
        }
        guide.lines.push_back(std::move(line));
        at = eol + 1;
    }
    return guide;
}

TEST(OperatorGuideTest, ListsEveryMessageOfTheProgramAndNoOther) {
    const std::vector<Text> texts = SourceTexts();
    const Guide guide = ReadGuide();
    ASSERT_GT(texts.size(), 100u);
    EXPECT_GT(guide.entries.size(), 50u) << kGuide << " has no table of messages";
    std::set<std::string, std::less<>> pieces;
    for (const Text& t : texts) {
        bool listed = !t.russian;
        for (const char* heading : kFileHeadings) {
            listed = listed || t.glob.starts_with(heading);
        }
        for (const std::string& line : guide.lines) {
            listed = listed || Found(t.glob, line);
        }
        EXPECT_TRUE(listed) << "not in the guide: " << t.where << ": " << t.glob;
        for (std::string_view part : Split(t.glob)) {
            pieces.emplace(part);
            pieces.emplace(Trimmed(part));
        }
    }
    // The guide's variable parts, {name} (no "_": ATTR{latency_timer} is text) or
    // "…", stand between the pieces.
    const std::regex variable("\\{[^}_]*\\}|…");
    for (const std::string& entry : guide.entries) {
        for (std::sregex_token_iterator part(entry.begin(), entry.end(), variable, -1), end;
             part != end; ++part) {
            EXPECT_TRUE(Built(part->str(), pieces)) << "not a text of the program: " << entry;
        }
    }
}

}  // namespace
}  // namespace flextor::test
