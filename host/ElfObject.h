#pragma once
// A look at a plug-in's executable before the loader maps it. The loader maps the loadable
// segments straight from the file and touches them while linking: a file cut short inside them
// ends the process with SIGBUS before dlopen can return an error.

#include <string>

// Empty when the file is a whole ELF shared object for this machine (every loadable segment
// inside the file), else what is wrong with it.
std::string ElfObjectProblem(const std::string& path);
