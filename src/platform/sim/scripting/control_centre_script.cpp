#include "platform/sim/scripting/control_centre_script.h"

#include <algorithm>
#include <charconv>

namespace kd {
namespace {

constexpr std::string_view kFilterOpening =
    R"(if idf starts with "screen-mirroring-device-" and ()";
constexpr std::string_view kFilterClosing = ") then";

// One line of code: comment cut, blanks trimmed, never empty.
struct Statement {
    std::string_view text;
    std::size_t offset = 0;  // of its first byte in the script
};

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

void addTrimmed(std::vector<Statement>& out, std::string_view script, std::size_t from,
                std::size_t to) {
    while (from < to && isBlank(script[from])) ++from;
    while (to > from && isBlank(script[to - 1])) --to;
    if (from < to) out.push_back({script.substr(from, to - from), from});
}

// Lines end at a line break outside a string literal; a literal may span
// lines, as one holding a key with a line break does.
std::vector<Statement> statements(std::string_view script) {
    std::vector<Statement> out;
    std::size_t lineStart = 0;
    std::size_t codeEnd = std::string_view::npos;  // where a comment cut the line
    bool inLiteral = false;
    for (std::size_t i = 0; i < script.size(); ++i) {
        const char c = script[i];
        if (inLiteral) {
            if (c == '\\') {
                ++i;
            } else if (c == '"') {
                inLiteral = false;
            }
        } else if (c == '\n' || c == '\r') {
            addTrimmed(out, script, lineStart, std::min(i, codeEnd));
            lineStart = i + 1;
            codeEnd = std::string_view::npos;
        } else if (codeEnd != std::string_view::npos) {
            continue;
        } else if (c == '"') {
            inLiteral = true;
        } else if (c == '-' && i + 1 < script.size() && script[i + 1] == '-') {
            codeEnd = i;
        }
    }
    addTrimmed(out, script, lineStart, std::min(script.size(), codeEnd));
    return out;
}

// The literal starting at `at` (its opening quote), decoded, and where it
// ends. The generated scripts escape only backslash and double quote.
struct Literal {
    std::string value;
    std::size_t end = 0;  // one past the closing quote
};

std::optional<Literal> readLiteral(std::string_view text, std::size_t at) {
    if (at >= text.size() || text[at] != '"') return std::nullopt;
    Literal literal;
    for (std::size_t i = at + 1; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '"') {
            literal.end = i + 1;
            return literal;
        }
        if (c == '\\') {
            if (i + 1 >= text.size() || (text[i + 1] != '\\' && text[i + 1] != '"')) {
                return std::nullopt;
            }
            ++i;
        }
        literal.value += text[i];
    }
    return std::nullopt;
}

// A text that is exactly one literal.
std::optional<std::string> wholeLiteral(std::string_view text) {
    auto literal = readLiteral(text, 0);
    if (!literal || literal->end != text.size()) return std::nullopt;
    return std::move(literal->value);
}

std::optional<int> wholeNumber(std::string_view text) {
    if (text.empty() ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return std::nullopt;
    }
    int value = 0;
    const auto* last = text.data() + text.size();
    const auto [end, error] = std::from_chars(text.data(), last, value);
    if (error != std::errc() || end != last) return std::nullopt;
    return value;
}

// What lies between `opening` and `closing` when `text` is framed by both.
std::optional<std::string_view> framed(std::string_view text, std::string_view opening,
                                       std::string_view closing) {
    if (text.size() < opening.size() + closing.size() || !text.starts_with(opening) ||
        !text.ends_with(closing)) {
        return std::nullopt;
    }
    return text.substr(opening.size(), text.size() - opening.size() - closing.size());
}

// Walks the statements forward: each expected statement is looked for after
// the one found before it.
class Walk {
  public:
    explicit Walk(const std::vector<Statement>& statements) : statements_(statements) {}

    const Statement* next(std::string_view text) {
        return nextWhere([&](const Statement& s) { return s.text == text; });
    }
    bool allInOrder(const std::vector<std::string_view>& texts) {
        return std::all_of(texts.begin(), texts.end(),
                           [this](std::string_view text) { return next(text) != nullptr; });
    }
    std::optional<std::string_view> nextFramed(std::string_view opening, std::string_view closing) {
        const auto* found = nextWhere(
            [&](const Statement& s) { return framed(s.text, opening, closing).has_value(); });
        if (found == nullptr) return std::nullopt;
        return framed(found->text, opening, closing);
    }

  private:
    template <typename Test>
    const Statement* nextWhere(Test test) {
        while (at_ < statements_.size()) {
            const auto& statement = statements_[at_++];
            if (test(statement)) return &statement;
        }
        return nullptr;
    }

    const std::vector<Statement>& statements_;
    std::size_t at_ = 0;
};

// "idf contains K1 or idf contains K2 …" or "idf does not contain K1 and …".
std::optional<MirrorRowFilter> parseFilter(std::string_view text) {
    MirrorRowFilter filter;
    std::size_t at = 0;
    while (true) {
        const auto rest = text.substr(at);
        const bool any = rest.starts_with("idf contains ");
        const bool none = rest.starts_with("idf does not contain ");
        if (!any && !none) return std::nullopt;
        const auto kind =
            any ? MirrorRowFilter::Kind::containsAny : MirrorRowFilter::Kind::containsNone;
        if (!filter.keys.empty() && kind != filter.kind) return std::nullopt;
        filter.kind = kind;
        auto literal =
            readLiteral(text, at + (any ? std::string_view("idf contains ").size()
                                        : std::string_view("idf does not contain ").size()));
        if (!literal) return std::nullopt;
        filter.keys.push_back(std::move(literal->value));
        at = literal->end;
        if (at == text.size()) return filter;
        const std::string_view joiner = any ? " or " : " and ";
        if (!text.substr(at).starts_with(joiner)) return std::nullopt;
        at += joiner.size();
    }
}

// Every filter the script applies; they must all be the same one.
std::optional<MirrorRowFilter> commonFilter(const std::vector<Statement>& all,
                                            std::size_t expectedCount) {
    std::optional<MirrorRowFilter> common;
    std::size_t count = 0;
    for (const auto& statement : all) {
        if (!statement.text.starts_with(kFilterOpening)) continue;
        const auto inside = framed(statement.text, kFilterOpening, kFilterClosing);
        if (!inside) return std::nullopt;
        auto filter = parseFilter(*inside);
        if (!filter || (common && *filter != *common)) return std::nullopt;
        common = std::move(filter);
        ++count;
    }
    if (count != expectedCount) return std::nullopt;
    return common;
}

const std::vector<std::string_view> kFindRowState{
    "click mirrorItem",
    R"(if role of e is "AXDisclosureTriangle" then set already to true)",
    R"(if role of e is "AXCheckBox" and (value of e) is 1 then set already to true)",
};

const std::vector<std::string_view> kConnectRow{
    "if already then", "set clicked to true", "else", R"(if role of e is "AXCheckBox" then)",
    "click e",         "set clicked to true",
};

const std::vector<std::string_view> kDisconnectRow{
    "if not already then",
    "set clicked to true",
    "else",
    R"(if role of e is "AXDisclosureTriangle" and (value of e) is 0 then)",
    "click e",
    R"(if role of e is "AXButton" then set end of devBtns to e)",
    "click item (count devBtns) of devBtns",
    "set clicked to true",
    R"(if role of e is "AXCheckBox" then)",
    "click e",
    "set clicked to true",
};

constexpr std::string_view kRaiseNotFound =
    R"(if not clicked then error "Device not found in Screen Mirroring menu")";

std::optional<MirrorToggleScript> toggleScript(const std::vector<Statement>& all, bool connects) {
    Walk walk(all);
    if (!walk.allInOrder(kFindRowState) ||
        !walk.allInOrder(connects ? kConnectRow : kDisconnectRow)) {
        return std::nullopt;
    }
    const auto* raise = walk.next(kRaiseNotFound);
    if (raise == nullptr) return std::nullopt;
    auto filter = commonFilter(all, connects ? 2 : 4);
    if (!filter) return std::nullopt;
    const auto errorAt = raise->offset + raise->text.find("error ");
    return MirrorToggleScript{connects, std::move(*filter),
                              ScriptSpan{errorAt, raise->offset + raise->text.size()}};
}

std::optional<ModePanelScript> modePanelScript(const std::vector<Statement>& all) {
    Walk walk(all);
    ModePanelScript panel;
    if (walk.next("set seen to false") == nullptr) return std::nullopt;
    const auto ticks = walk.nextFramed("repeat ", " times");
    const auto waitTicks = ticks ? wholeNumber(*ticks) : std::nullopt;
    if (!waitTicks) return std::nullopt;
    panel.waitTicks = *waitTicks;
    if (!walk.allInOrder({"if (count windows) > 0 then", "set seen to true", "exit repeat",
                          R"(if not seen then return "none")", "set g to group 1 of window 1"})) {
        return std::nullopt;
    }
    const auto named = walk.nextFramed(R"(if titled is not "" and )", R"( is not "" then)");
    const auto name = named ? wholeLiteral(*named) : std::nullopt;
    const auto checked =
        walk.nextFramed("if titled does not contain ", R"( then return "other:" & titled)");
    if (!name || !checked || wholeLiteral(*checked) != name) return std::nullopt;
    panel.deviceName = *name;
    if (!walk.allInOrder({"if (count bigI) < 3 then", R"(return "confirmed")"})) {
        return std::nullopt;
    }
    const auto comparison = walk.nextFramed("if x ", " bestX then");
    if (comparison != ">" && comparison != "<") return std::nullopt;
    panel.picksRightmostCard = comparison == ">";
    if (!walk.allInOrder({"click button (item pickAt of bigI) of g",
                          R"(if m < 4 then return "noconfirm:" & m)",
                          "click button m of group 1 of window 1", R"(return "chose")"})) {
        return std::nullopt;
    }
    return panel;
}

}  // namespace

std::optional<ControlCentreScript> recogniseControlCentreScript(std::string_view script) {
    const auto all = statements(script);
    if (all.size() < 6 || all[1].text != R"(tell application "System Events")" ||
        all[all.size() - 3].text != "end tell" || all[all.size() - 2].text != "end tell" ||
        all.back().text != "end timeout") {
        return std::nullopt;
    }
    const auto seconds = framed(all[0].text, "with timeout of ", " seconds");
    const auto timeout = seconds ? wholeNumber(*seconds) : std::nullopt;
    if (!timeout) return std::nullopt;

    if (all[2].text == R"(tell process "ControlCenter")") {
        for (const bool connects : {true, false}) {
            if (auto toggle = toggleScript(all, connects)) {
                return ControlCentreScript{std::move(*toggle), *timeout};
            }
        }
        return std::nullopt;
    }
    if (all[2].text == R"(tell process "ControlCenterHelper")") {
        if (auto panel = modePanelScript(all))
            return ControlCentreScript{std::move(*panel), *timeout};
    }
    return std::nullopt;
}

}  // namespace kd
