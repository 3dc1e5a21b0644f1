#pragma once
// The movie asked for on the command line, made as a planner makes it: the schedule opened, the
// movie's dialogs answered from the request, the movie command run, all through the script's
// commands with the transcript kept from the user.
#include "host/app/MovieRequest.h"

#include <iosfwd>
#include <streambuf>
#include <string>
#include <utility>

// The schedule the movie shows: the request's, else FILE.csp beside the model; empty when there
// is neither.
std::string MovieScheduleOf(const MovieRequest& request, const std::string& model);
// The script that makes the movie from `schedule`.
std::string MovieScript(const MovieRequest& request, const std::string& schedule);
// The script that writes the shared web page from `schedule`.
std::string WebPageScript(const MovieRequest& request, const std::string& schedule);

// The movie script's transcript: passes its progress on to `errors` as "quorvel: frame N/M" as it
// comes (another word than "frame" for other work), notes whether the movie was made and whether
// an alert came, and keeps the lines that tell what went wrong.
class MovieTranscriptWatch : public std::streambuf {
public:
    explicit MovieTranscriptWatch(std::ostream& errors, std::string progressWord = "frame")
        : errors_(errors), progressWord_(std::move(progressWord)) {}
    bool Made() const { return made_; }
    bool Alerted() const { return alerted_; }
    const std::string& Trouble() const { return trouble_; }

protected:
    int overflow(int c) override;

private:
    std::ostream& errors_;
    std::string progressWord_;
    std::string line_, trouble_;
    bool made_ = false, alerted_ = false;
};
