#pragma once
// While it lives, whatever the IFC library writes to the standard C++ streams is kept here
// instead: the host's standard output is its script transcript. The streams are shared by the
// whole process, so no other thread may print while a file is read.
#include <sstream>
#include <streambuf>
#include <string>

class LibraryOutputCapture {
public:
    LibraryOutputCapture();
    ~LibraryOutputCapture();
    LibraryOutputCapture(const LibraryOutputCapture&) = delete;
    LibraryOutputCapture& operator=(const LibraryOutputCapture&) = delete;

    // What was written so far, as UTF-8 lines.
    std::string Text() const;

private:
    std::ostringstream narrow_;
    std::wostringstream wide_;
    std::streambuf* out_;
    std::streambuf* err_;
    std::streambuf* log_;
    std::wstreambuf* wout_;
    std::wstreambuf* werr_;
    std::wstreambuf* wlog_;
};
