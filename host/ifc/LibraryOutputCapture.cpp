#include "host/ifc/LibraryOutputCapture.h"

#include "host/ifc/WideText.h"

#include <iostream>

LibraryOutputCapture::LibraryOutputCapture()
    : out_(std::cout.rdbuf(narrow_.rdbuf())), err_(std::cerr.rdbuf(narrow_.rdbuf())),
      log_(std::clog.rdbuf(narrow_.rdbuf())), wout_(std::wcout.rdbuf(wide_.rdbuf())),
      werr_(std::wcerr.rdbuf(wide_.rdbuf())), wlog_(std::wclog.rdbuf(wide_.rdbuf())) {}

LibraryOutputCapture::~LibraryOutputCapture() {
    std::cout.rdbuf(out_);
    std::cerr.rdbuf(err_);
    std::clog.rdbuf(log_);
    std::wcout.rdbuf(wout_);
    std::wcerr.rdbuf(werr_);
    std::wclog.rdbuf(wlog_);
}

std::string LibraryOutputCapture::Text() const { return narrow_.str() + Utf8FromWide(wide_.str()); }
