#pragma once
// The shared page of the open project written to a file: the model read from the host, the page
// data worked out, the frame filled, the file replaced whole or left as it was.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

class ElementHider;
class TaskDB;

enum class WebPageOutcome { Written, Stopped, NoModel, NotWritten };

struct WebPageResult {
    WebPageOutcome outcome = WebPageOutcome::NotWritten;
    int32_t fileError = 0; // FileKit's code when not written
    size_t bytes = 0;
};

// `step(done, total)` as the work goes on (the elements read, then their timelines, on one
// scale of twice the elements), false to stop. `path8` in the 8-bit code page.
WebPageResult WriteWebPage(const ElementHider& hider, const TaskDB& db, const std::string& path8,
                           const std::function<bool(size_t, size_t)>& step);

// The project's name as the page's title: the host project's file name without its extension.
std::string PageTitle();
