#pragma once
#include <string>

// Creates or replaces the shell link linkPath pointing at target, described as "Tessamo",
// working in the target's folder, with the target's first icon when setIcon is true.
// Needs COM on the calling thread.
bool CreateShortcut(const std::wstring& target, const std::wstring& linkPath, bool setIcon);
