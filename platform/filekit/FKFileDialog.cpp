#include "filekit/FKFileDialog.h"

#include "dialogkit/DGAnswers.h"
#include "filekit/FKError.h"
#include "filekit/FKSpecialFolders.h"

#include <deque>
#include <filesystem>

namespace {

struct State {
    std::deque<FKFileDialogAnswer> answers;
    std::vector<FKFileDialogRecord> shown;
    std::function<void(const FKFileDialogRecord&)> listener;
    FKFileDialogBackEnd backEnd;
};

State& S() {
    static State state;
    return state;
}

const char* KindWord(FKFileDialogKind kind) {
    switch (kind) {
    case FKFileDialogKind::Open: return "open";
    case FKFileDialogKind::Save: return "save";
    case FKFileDialogKind::Movie: return "movie";
    }
    return "open";
}

std::string QuoteIfNeeded(const std::string& text) {
    if (!text.empty() && text.find_first_of(" \t\"\\") == std::string::npos) return text;
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\') out.push_back('\\');
        out.push_back(c);
    }
    out.push_back('"');
    return out;
}

// The answer as a location: a name without extension gets the filter's, as a save dialog does.
FKLocation ChosenLocation(const FKFileDialogSpec& spec, const FKFileDialogAnswer& answer, int32_t filter) {
    std::string path = answer.path;
    if (spec.kind != FKFileDialogKind::Open && filter >= 0 && static_cast<size_t>(filter) < spec.filters.size() &&
        !spec.filters[static_cast<size_t>(filter)].extensions.empty()) {
        std::filesystem::path p(path);
        if (p.has_filename() && !p.has_extension())
            path += "." + spec.filters[static_cast<size_t>(filter)].extensions.front();
    }
    return FKLocation::FromNativePath(path);
}

} // namespace

bool FKRunFileDialog(const FKFileDialogSpec& spec, FKLocation& chosen, int32_t& chosenFilter) {
    auto& s = S();
    FKFileDialogRecord record;
    record.kind = spec.kind;
    record.title = spec.title;
    record.filters = spec.filters;
    record.preselectedFilter = spec.preselectedFilter;
    record.startFolder = spec.startFolder;
    if (!record.startFolder.IsValid()) (void)FKGetSpecialFolder(FKSpecialFolder::Documents, record.startFolder);
    record.startName = spec.startName;
    record.flags = spec.flags;
    record.chosenFilter = spec.preselectedFilter;

    if (s.answers.empty() && !s.backEnd) {
        DGCountUnansweredQuestion();
    } else {
        FKFileDialogAnswer answer;
        if (s.backEnd) {
            answer = s.backEnd(record);
        } else {
            answer = std::move(s.answers.front());
            s.answers.pop_front();
            record.fromQueue = true;
        }
        int32_t filter = answer.filter.value_or(spec.preselectedFilter);
        bool filterOk = spec.filters.empty() ? filter == 0 : filter >= 0 && static_cast<size_t>(filter) < spec.filters.size();
        if (answer.cancel) {
            // cancelled by the user
        } else if (answer.path.empty() || !filterOk) {
            DGCountUnansweredQuestion(); // an answer the dialog cannot take is a script error
        } else {
            record.confirmed = true;
            record.chosen = ChosenLocation(spec, answer, filter);
            record.chosenFilter = filter;
        }
    }
    if (record.confirmed) {
        chosen = record.chosen;
        chosenFilter = record.chosenFilter;
    }
    s.shown.push_back(record);
    if (s.listener) s.listener(record);
    return record.confirmed;
}

void FKSetFileDialogBackEnd(FKFileDialogBackEnd backEnd) { S().backEnd = std::move(backEnd); }

void FKQueueFileDialogAnswer(FKFileDialogAnswer answer) { S().answers.push_back(std::move(answer)); }

size_t FKPendingFileDialogAnswers() { return S().answers.size(); }

void FKResetFileDialogs() {
    S().answers.clear();
    S().shown.clear();
}

const std::vector<FKFileDialogRecord>& FKShownFileDialogs() { return S().shown; }

void FKSetFileDialogListener(std::function<void(const FKFileDialogRecord&)> listener) {
    S().listener = std::move(listener);
}

std::string FKFileDialogTranscriptLine(const FKFileDialogRecord& record) {
    std::string line = "file-dialog ";
    line += KindWord(record.kind);
    line += ' ';
    line += record.confirmed ? QuoteIfNeeded(record.chosen.NativePath()) : std::string("cancel");
    line += ' ';
    line += std::to_string(record.chosenFilter);
    return line;
}
