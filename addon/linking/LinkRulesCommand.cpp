#include "linking/LinkRulesCommand.h"

#include "filekit/FKFile.h"
#include "filekit/FKLocation.h"
#include "hostcalls/FileDialogs.h"
#include "hostcalls/HostInterface.h"
#include "linking/HostElementFacts.h"
#include "linking/LinkRulesJson.h"
#include "linking/RulesOnModel.h"
#include "resources/AddonAlerts.h"
#include "resources/AddonResources.h"

namespace {

constexpr int16_t kRulesTitle = 4, kRulesType = 4, kRulesExtension = 6;
constexpr int16_t kProblems = 32621;
constexpr size_t kMaxRulesFile = 4u << 20;
constexpr int kApplyKept = 1, kChooseFile = 2;

std::string FileName(const std::string& path8) {
    size_t slash = path8.find_last_of("/\\");
    return slash == std::string::npos ? path8 : path8.substr(slash + 1);
}

} // namespace

bool ReadRulesFile(const std::string& path8, LinkRules& rules) {
    std::string text;
    if (FKReadWholeFile(FKLocation::FromPath8(path8), kMaxRulesFile, text) != 0) {
        AddonAlert(kAlertCannotLoad, path8.c_str());
        return false;
    }
    RulesFileProblem problem;
    LinkRules read;
    if (!ParseLinkRules(text, read, problem)) {
        problem.params.resize(2);
        std::string line = AddonFormat(kProblems, static_cast<int16_t>(problem.kind), {problem.params[0], problem.params[1]});
        HostReportWrite(line.c_str(), 0);
        AddonAlert(kAlertRulesRefused, path8.c_str());
        return false;
    }
    read.source = FileName(path8);
    rules = std::move(read);
    return true;
}

void LinkByRulesCommand(TaskDB& db) {
    if (!db.Hider()) return;
    LinkRules rules;
    if (!db.Rules().Empty()) {
        std::string count = std::to_string(db.Rules().rules.size());
        int answer = AddonAlert(kAlertKeptRules, db.Rules().source.c_str(), count.c_str());
        if (answer == kApplyKept) rules = db.Rules();
        else if (answer != kChooseFile) return;
    }
    if (rules.Empty()) {
        std::string path = AskLinkFile(FKFileDialogKind::Open, kRulesTitle, kRulesType, kRulesExtension, {});
        if (path.empty() || !ReadRulesFile(path, rules)) return;
        db.SetLinkRules(rules);
    }
    HostElementFacts facts(*db.Hider());
    ApplyRulesToModel(db, rules, facts, false);
}

std::optional<std::vector<API_Guid>> ReapplyRulesAfterRevision(TaskDB& db) {
    if (db.Rules().Empty() || !db.Hider()) return std::nullopt;
    HostElementFacts facts(*db.Hider());
    return ApplyRulesToModel(db, db.Rules(), facts, true);
}
