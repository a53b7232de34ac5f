#pragma once

// The status line for a progress code; null for codes that leave it unchanged.
const wchar_t* StatusTextFor(int code);
