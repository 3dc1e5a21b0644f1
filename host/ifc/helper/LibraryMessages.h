#pragma once
// The IFC library's warnings and errors, gathered while one file is read so that the reader can
// give them as the reason a product was left out, and the entity names it said it does not know
// while parsing. The library may call it from several threads.
#include <ifcpp/model/StatusCallback.h>

#include <mutex>
#include <set>
#include <string>
#include <vector>

class LibraryMessages {
public:
    void Listen(StatusCallback& source) { source.setMessageCallBack(this, &LibraryMessages::Receive); }
    static void Receive(void* self, shared_ptr<StatusCallback::Message> message);

    size_t Count() const { return texts_.size(); }
    // The messages that arrived after the first `from`, joined by "; ".
    std::string Since(size_t from) const;
    void Add(std::string text);
    // Upper case, e.g. "IFCFANTASYSOLID".
    const std::set<std::string>& UnknownTypes() const { return unknownTypes_; }

private:
    // A model without units repeats its warning at every length; each text is kept once.
    std::vector<std::string> texts_;
    std::set<std::string> seen_;
    std::set<std::string> unknownTypes_;
    std::mutex lock_; // the library may speak from several threads at once
};
