#include "lid/daemon_arguments.h"

#include <plist/plist.h>

#include <cstdint>
#include <cstdlib>

namespace kd {

std::optional<std::vector<std::string>> daemonProgramArguments(const std::string& plistText) {
    plist_t root = nullptr;
    plist_from_xml(plistText.data(), static_cast<uint32_t>(plistText.size()), &root);
    if (root == nullptr) return std::nullopt;
    std::optional<std::vector<std::string>> arguments;
    const plist_t list = plist_get_node_type(root) == PLIST_DICT
                             ? plist_dict_get_item(root, "ProgramArguments")
                             : nullptr;
    if (list != nullptr && plist_get_node_type(list) == PLIST_ARRAY) {
        arguments.emplace();
        for (uint32_t i = 0; i < plist_array_get_size(list); ++i) {
            const plist_t item = plist_array_get_item(list, i);
            if (plist_get_node_type(item) != PLIST_STRING) {
                arguments.reset();
                break;
            }
            char* text = nullptr;
            plist_get_string_val(item, &text);
            arguments->emplace_back(text == nullptr ? "" : text);
            std::free(text);
        }
    }
    plist_free(root);
    return arguments;
}

}  // namespace kd
