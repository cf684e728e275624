// SQLite's memory, kept by the history: blocks SQLite frees are kept on free lists by size
// class and handed out again, so a steady run of inserts (a live-data pass after pass) takes
// nothing from the heap once the first have been written. Process-wide; set before the first
// connection is opened.
#pragma once

namespace history {

// Installs the allocator once; later calls (and a SQLite already in use) change nothing.
void useSqliteMemoryPool();

}  // namespace history
