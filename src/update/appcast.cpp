#include "update/appcast.h"

#include <libxml/parser.h>
#include <libxml/tree.h>

#include <cstring>
#include <memory>
#include <mutex>
#include <optional>

#include "update/version_order.h"

namespace kd {

namespace {

struct DocumentFree {
    void operator()(xmlDoc* doc) const { xmlFreeDoc(doc); }
};
struct ContextFree {
    void operator()(xmlParserCtxt* context) const { xmlFreeParserCtxt(context); }
};
struct TextFree {
    void operator()(xmlChar* text) const { xmlFree(text); }
};

// Without NOENT no entity is expanded into the tree, without DTDLOAD or
// DTDATTR nothing outside the bytes is read, and NONET forbids the network
// should anything still try. Errors stay quiet: the caller reports them.
constexpr int kParseOptions = XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING;

std::unique_ptr<xmlDoc, DocumentFree> parse(std::string_view bytes) {
    // The library's globals must be set up once before threads share it.
    static std::once_flag initialised;
    std::call_once(initialised, [] { xmlInitParser(); });
    const std::unique_ptr<xmlParserCtxt, ContextFree> context(xmlNewParserCtxt());
    if (!context) return nullptr;
    return std::unique_ptr<xmlDoc, DocumentFree>(
        xmlCtxtReadMemory(context.get(), bytes.data(), static_cast<int>(bytes.size()), nullptr,
                          nullptr, kParseOptions));
}

bool named(const xmlNode* node, const char* name) {
    return node->type == XML_ELEMENT_NODE &&
           std::strcmp(reinterpret_cast<const char*>(node->name), name) == 0;
}

// Sparkle's names by their namespace, or by the customary prefix in a feed
// that forgot to declare it.
bool isSparkle(const xmlNs* ns) {
    return ns != nullptr &&
           ((ns->href != nullptr &&
             std::strcmp(reinterpret_cast<const char*>(ns->href), kSparkleNamespace) == 0) ||
            (ns->prefix != nullptr &&
             std::strcmp(reinterpret_cast<const char*>(ns->prefix), "sparkle") == 0));
}

std::string text(xmlChar* raw) {
    const std::unique_ptr<xmlChar, TextFree> owned(raw);
    return owned ? std::string(reinterpret_cast<const char*>(owned.get())) : std::string();
}

std::string trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

// The text directly inside an element; entity references are not followed.
std::string elementText(const xmlNode* element) {
    std::string value;
    for (const xmlNode* child = element->children; child != nullptr; child = child->next) {
        if ((child->type == XML_TEXT_NODE || child->type == XML_CDATA_SECTION_NODE) &&
            child->content != nullptr) {
            value += reinterpret_cast<const char*>(child->content);
        }
    }
    return trimmed(value);
}

std::optional<std::string> sparkleAttribute(const xmlNode* element, const char* name) {
    for (const xmlAttr* attribute = element->properties; attribute != nullptr;
         attribute = attribute->next) {
        if (std::strcmp(reinterpret_cast<const char*>(attribute->name), name) == 0 &&
            isSparkle(attribute->ns)) {
            return trimmed(text(xmlNodeListGetString(element->doc, attribute->children, 1)));
        }
    }
    return std::nullopt;
}

// The item's version and short version, from its own elements first.
std::optional<AppcastItem> readItem(const xmlNode* item) {
    std::optional<std::string> version;
    std::optional<std::string> shortVersion;
    std::optional<std::string> enclosureVersion;
    std::optional<std::string> enclosureShortVersion;
    for (const xmlNode* child = item->children; child != nullptr; child = child->next) {
        if (child->type != XML_ELEMENT_NODE) continue;
        if (named(child, "version") && isSparkle(child->ns) && !version) {
            version = elementText(child);
        } else if (named(child, "shortVersionString") && isSparkle(child->ns) && !shortVersion) {
            shortVersion = elementText(child);
        } else if (named(child, "enclosure") && child->ns == nullptr && !enclosureVersion) {
            enclosureVersion = sparkleAttribute(child, "version");
            enclosureShortVersion = sparkleAttribute(child, "shortVersionString");
        }
    }
    if (!version || !isVersion(*version)) version = enclosureVersion;
    if (!version || !isVersion(*version)) return std::nullopt;
    if (!shortVersion || shortVersion->empty()) shortVersion = enclosureShortVersion;
    const auto shown = shortVersion && isVersion(*shortVersion) ? *shortVersion : *version;
    return AppcastItem{*version, shown};
}

const xmlNode* child(const xmlNode* parent, const char* name) {
    for (const xmlNode* node = parent->children; node != nullptr; node = node->next) {
        if (named(node, name) && node->ns == nullptr) return node;
    }
    return nullptr;
}

}  // namespace

std::variant<AppcastItem, AppcastProblem> newestAppcastItem(std::string_view bytes) {
    if (bytes.empty() || bytes.size() > kMaxAppcastBytes) return AppcastProblem::notAppcast;
    const auto document = parse(bytes);
    // A feed has no business declaring entities or a DTD: refusing them
    // keeps every entity trick out, whatever the parser would do with them.
    if (!document || document->intSubset != nullptr || document->extSubset != nullptr) {
        return AppcastProblem::notAppcast;
    }
    const xmlNode* root = xmlDocGetRootElement(document.get());
    const xmlNode* channel =
        root != nullptr && named(root, "rss") ? child(root, "channel") : nullptr;
    if (channel == nullptr) return AppcastProblem::notAppcast;
    std::optional<AppcastItem> newest;
    for (const xmlNode* node = channel->children; node != nullptr; node = node->next) {
        if (!named(node, "item") || node->ns != nullptr) continue;
        const auto item = readItem(node);
        if (!item) continue;
        if (!newest || compareVersions(item->version, newest->version) > 0) newest = item;
    }
    if (!newest) return AppcastProblem::noItems;
    return *newest;
}

}  // namespace kd
