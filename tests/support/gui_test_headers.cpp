// Compiles the window tests' shared precompiled header; holds no code of its own.
