// The one source the precompiled headers are built with; it has nothing of its own.
