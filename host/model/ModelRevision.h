#pragma once
// What the last revision of the building model did to its elements, for add-ons to tell the user
// what became of what they keep on them. Replaced by each revision; not saved, not undone.
#include "host/model/Element.h"
#include "hostapi/HostGuid.h"

#include <map>
#include <string>
#include <vector>

struct ModelRevision {
    struct Rematch {
        API_Guid was, now;
        std::string how; // the fingerprint's parts that met, UTF-8
    };
    struct Lost {
        API_Guid guid;
        int32_t kind = 0;
        std::string idText; // 8-bit
        std::map<std::string, UserDataBlock> userData; // by add-on name
        bool ambiguous = false; // a product of the revision fit it and others alike
    };
    bool taken = false; // a revision came since the model was made
    std::vector<API_Guid> kept; // met by GlobalId
    std::vector<Rematch> rematched;
    std::vector<Lost> lost; // the removed elements that carried an add-on's data
    std::vector<API_Guid> added;

    // An element going, when it carries an add-on's data.
    void NoteLost(const Element& e, bool ambiguous) {
        if (!e.userData.empty()) lost.push_back({e.Guid(), e.Kind(), e.IdText(), e.userData, ambiguous});
    }
};
