#pragma once
// A Primavera P6 XML export (the document of P6's business objects, `APIBusinessObjects`): its
// projects, and one of them as the plan both of P6's forms share.
#include "schedule/formats/P6Plan.h"
#include "schedule/formats/P6Schedule.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// Where a document stops being one P6 can have written, and why (the item of the message list
// that says so).
struct P6XmlError {
    enum Kind : int16_t { NotXml = 1, NotP6 = 2, NoDates = 3, UnknownDate = 4 };
    Kind kind = NotXml;
    size_t line = 0;    // 1-based
    std::string detail; // UTF-8: the activity, or the date text
};

class P6XmlFile {
public:
    P6XmlFile();
    ~P6XmlFile();
    P6XmlFile(const P6XmlFile&) = delete;
    P6XmlFile& operator=(const P6XmlFile&) = delete;

    // Parses the bytes (UTF-8, or any encoding the document declares and the parser knows);
    // false with `error` for bytes that are no XML or a document of something else.
    bool Load(std::string_view bytes, P6XmlError& error);

    // The document's projects, in its order; `id` is the project's ObjectId.
    const std::vector<P6Project>& Projects() const { return projects_; }

    // The schedule of the project at `index` of Projects(); false with `error` for an activity
    // with no date or a date that is no XML date.
    bool Build(size_t index, P6Schedule& out, P6XmlError& error) const;

private:
    struct Document;
    std::unique_ptr<Document> document_;
    std::vector<P6Project> projects_;
};
