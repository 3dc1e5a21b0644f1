#pragma once
// The memory the IFC library converts one product in: a heap of its own at a fixed address,
// emptied after every product. The library's Boolean operations order vertices and edges by
// their addresses and add up coordinates in that order, so a wall with openings came out a few
// units in the last place apart from one run to the next (the process's addresses are random)
// and from one product order to another. On this heap the same product gets the same addresses
// whatever came before it and in whichever process, so it comes out the same bytes.
//
// While a Scope lives on a thread, operator new on that thread takes from the heap; operator
// delete gives back to the heap whatever lies in it, on any thread. One thread at a time may
// hold a Scope. Nothing allocated in a Scope may outlive it: what is kept is copied out under a
// Pause.
#include <cstddef>

class ConversionHeap {
public:
    class Scope {
    public:
        Scope();
        ~Scope();
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;
        // False when the heap could not be had (its addresses taken, or an earlier Scope left
        // something alive in it): this Scope takes from the process's heap as usual.
        bool Fixed() const { return fixed_; }

    private:
        bool fixed_ = false;
    };

    // Allocations of the process's own heap again, inside a Scope.
    class Pause {
    public:
        Pause();
        ~Pause();
        Pause(const Pause&) = delete;
        Pause& operator=(const Pause&) = delete;

    private:
        bool was_;
    };

    // The heap's memory back to the system, outside any Scope, when no more products are to come.
    static void GiveBack();

    // Scopes that ended with something of theirs still alive; after the first, the heap is
    // given up for the rest of the process.
    static size_t Leaks();
};
