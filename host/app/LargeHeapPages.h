#pragma once
// The host's heap in 2 MB pages. Opening a large building makes millions of small blocks (the
// reader's records, the model's elements), and on a virtual machine each new 4 KB page costs a
// fault that takes longer than filling it. The C library reads its choice of pages only when a
// program starts, so a program that lacks it starts itself once more with it.

// Returns only when the program already runs with its choice made (or cannot start again).
// `GLIBC_TUNABLES` with its own glibc.malloc.hugetlb setting is kept as it is.
void RestartWithLargeHeapPages(char** argv);
