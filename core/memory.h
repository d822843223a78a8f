#pragma once

// Hands memory the process has freed back to the system. Closing a page frees
// tens of MiB inside the client's own process (the engine's share of the
// page), which the C library otherwise keeps for reuse; without this a
// closed tab would go on counting against the client. Where the C library
// offers no such call, this does nothing.
void returnFreedMemory();

// Few allocation arenas, in this process and the renderers it starts: the
// web engine's many threads otherwise spread the heap over up to eight per
// core, and a freed tab leaves them all partly used, out of reach of
// returnFreedMemory(). Call it first thing in main().
void limitMemoryArenas();
