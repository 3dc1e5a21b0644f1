// A rules file of any bytes: no crash; rules it accepts keep in the project file's form and read
// back from it the same, and any bytes read as that form are a form the writer gives back as they were.
#include "linking/LinkRulesJson.h"
#include "schedule/projectfile/LinkRulesRecord.h"

#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    LinkRules rules;
    RulesFileProblem problem;
    if (ParseLinkRules(text, rules, problem)) {
        LinkRules back;
        if (!ReadLinkRulesBytes(LinkRulesBytes(rules), back) || !(back == rules)) __builtin_trap();
    }
    LinkRules read;
    std::span<const uint8_t> bytes(data, size);
    if (ReadLinkRulesBytes(bytes, read)) {
        std::vector<uint8_t> again = LinkRulesBytes(read);
        if (again.size() != size || !std::equal(again.begin(), again.end(), data)) __builtin_trap();
    }
    return 0;
}
